// Paint benchmarks of the canvas view with 20 CAD-like captures in a
// 1920 x 1080 window: a full paint (the canvas composed anew, as after every
// command), a rubber-band move (the kept canvas blitted, as while the mouse
// moves) and a drag frame (the current picture following the held middle
// button over the kept canvas).
#include "BenchInputs.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int WindowWidth = 1920;
constexpr int WindowHeight = 1080;

struct PaintedView
{
    // fitted: the whole drawing in the window; else at 1:1 scale, the window
    // showing parts of four captures.
    explicit PaintedView(bool fitted = true)
    {
        engine.SetDataDir(BenchInputs::workDir());
        const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 20);
        // 4 rows of 5, each overlapping its neighbours by about a tenth.
        for (int i = 0; i < files.size(); ++i)
            engine.addPlacedPicture(files.at(i), (i % 5) * 1730, (i / 5) * 970);
        view = std::make_unique<CQznImgEdtJoinView>(engine);
        view->resize(WindowWidth, WindowHeight);
        view->show();
        for (int i = 0; i < 100 && !view->windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        view->repaint();
        // Whole drawing, fitted into the window, as a user looks over the job.
        view->commands().trigger(CommandId::WholeDrawing);
        view->commands().trigger(CommandId::ZoomFit);
        if (!fitted) {
            view->commands().trigger(CommandId::ZoomOriginal);
            engine.MovePicture(-1000, -500, 1);
        }
        view->repaint(); // the first paint decodes and scales
    }

    void moveMouse(const QPoint& at, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), view->mapToGlobal(QPointF(at)),
                         Qt::NoButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view.get(), &move);
    }

    CImgJoinEngine engine;
    std::unique_ptr<CQznImgEdtJoinView> view;
};

void BM_ViewFullPaint(benchmark::State& state)
{
    PaintedView painted(state.range(0) == 0);
    const int before = painted.view->canvasRenders();
    for (auto _ : state) {
        painted.view->invalidate();
        painted.view->repaint();
    }
    state.counters["renders"] = painted.view->canvasRenders() - before;
    state.counters["decodes"] = painted.engine.decodeCount();
}

void BM_ViewBandMove(benchmark::State& state)
{
    PaintedView painted;
    painted.view->commands().trigger(CommandId::TrimWindow);
    painted.moveMouse(QPoint(100, 100));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(100, 100), QPointF(100, 100),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(painted.view.get(), &press);
    const int before = painted.view->canvasRenders();
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 500;
        painted.moveMouse(QPoint(300 + step * 2, 200 + step));
        painted.view->repaint();
    }
    state.counters["renders"] = painted.view->canvasRenders() - before;
}

void BM_ViewDragFrame(benchmark::State& state)
{
    // The drawing fitted into the window; the middle button moves the current
    // picture (the last one loaded), not the whole drawing.
    PaintedView painted;
    painted.view->commands().trigger(CommandId::WholeDrawing);
    if (painted.view->wholeDrawing()) {
        state.SkipWithError("the whole drawing would move");
        return;
    }
    const QPoint start(1500, 800);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(start), QPointF(start), Qt::MiddleButton,
                      Qt::MiddleButton, Qt::NoModifier);
    QCoreApplication::sendEvent(painted.view.get(), &press);
    // The first frame composes the canvas without the picture once.
    painted.moveMouse(start - QPoint(4, 2), Qt::MiddleButton);
    painted.view->repaint();
    const int before = painted.view->canvasRenders();
    // Each frame repaints what the view asks for: the picture's old and new
    // place, with the margin its handles and outline take.
    const auto area = [&painted] { return painted.view->dragPreviewBox().adjusted(-8, -8, 8, 8); };
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 400;
        const QRect old = area();
        painted.moveMouse(start - QPoint(step * 3, step), Qt::MiddleButton);
        painted.view->repaint(QRegion(old) + QRegion(area()));
    }
    state.counters["renders"] = painted.view->canvasRenders() - before;
    state.counters["boxWidth"] = painted.view->dragPreviewBox().width();
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(start), QPointF(start),
                        Qt::MiddleButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(painted.view.get(), &release);
}

} // namespace

// Argument 0: fitted into the window; 1: at 1:1 scale.
BENCHMARK(BM_ViewFullPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ViewBandMove)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ViewDragFrame)->Unit(benchmark::kMillisecond)->Repetitions(5);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
