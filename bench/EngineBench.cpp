// Benchmarks of the joining engine on CAD-like screen captures.
#include "BenchInputs.h"
#include "CImgJoinEngine.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int CaptureWidth = 1920;
constexpr int CaptureHeight = 1080;

// 20 overlapping captures in 4 rows of 5, each overlapping its neighbours by
// about a tenth, as a user lays them out before trimming.
void layTwentyCaptures(CImgJoinEngine& engine, const QStringList& files)
{
    for (int i = 0; i < files.size(); ++i) {
        const int column = i % 5, row = i / 5;
        engine.addPlacedPicture(files.at(i), column * 1730, row * 970);
    }
}

QImage paintCanvas(CImgJoinEngine& engine, QImage& buffer)
{
    buffer.fill(colorRefToColor(CImgJoinEngine::WindowBackColor));
    QPainter painter(&buffer);
    engine.SetClientRect(0, 0, buffer.width(), buffer.height());
    engine.DrawPictures(painter, DisplayMode::Joining);
    return buffer;
}

enum class DrawCase
{
    Plain,
    Transparent,
    TrimLine
};

void drawPictures(benchmark::State& state, DrawCase drawCase)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    QImage buffer(CaptureWidth, CaptureHeight, QImage::Format_RGB32);
    paintCanvas(engine, buffer);
    engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas); // fit the drawing into the buffer
    if (drawCase == DrawCase::Transparent)
        engine.SetHotTransparent(1);
    if (drawCase == DrawCase::TrimLine)
        engine.SetTrimLine(1700, 900, TrimMode::FromBelow);
    paintCanvas(engine, buffer); // first paint decodes and scales
    for (auto _ : state) {
        paintCanvas(engine, buffer);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    state.counters["decodes"] = engine.decodeCount();
}

void BM_DrawPictures_Plain(benchmark::State& state)
{
    drawPictures(state, DrawCase::Plain);
}
void BM_DrawPictures_Transparent(benchmark::State& state)
{
    drawPictures(state, DrawCase::Transparent);
}
void BM_DrawPictures_TrimLine(benchmark::State& state)
{
    drawPictures(state, DrawCase::TrimLine);
}

// The first paint at a new zoom: every picture is scaled to its new box.
void BM_DrawPictures_NewZoom(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    QImage buffer(CaptureWidth, CaptureHeight, QImage::Format_RGB32);
    paintCanvas(engine, buffer);
    engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
    paintCanvas(engine, buffer);
    for (auto _ : state) {
        state.PauseTiming();
        engine.ForgetRenditions();
        state.ResumeTiming();
        paintCanvas(engine, buffer);
    }
}

void BM_ClipCurrentPicture(benchmark::State& state)
{
    const QString file = BenchInputs::captureFiles(BenchInputs::workDir(), 1).first();
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    engine.PreloadPictures({ file });
    for (auto _ : state) {
        state.PauseTiming();
        engine.ClearPictures();
        engine.addPlacedPicture(file, 0, 0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(engine.ClipCurrentPicture(100, 80, 1800, 1000));
    }
}

void BM_SaveJoinedPicture(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    const QString out = QDir(BenchInputs::workDir()).filePath(QStringLiteral("joined.png"));
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.SaveJoinedPicture(QStringLiteral("png"), out));
}

// The canvas of 20 captures saved as a project: the join, its PNG and the
// captures as they are.
void BM_SaveProject(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    const QString out = QDir(BenchInputs::workDir()).filePath(QStringLiteral("canvas.ora"));
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.SaveProject(out));
    state.counters["MB"] = double(QFile(out).size()) / (1024 * 1024);
}

// Opening that project: every capture taken out and decoded.
void BM_OpenProject(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    const QString project = QDir(BenchInputs::workDir()).filePath(QStringLiteral("open.ora"));
    engine.SaveProject(project);
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.OpenProject(project));
        state.PauseTiming();
        engine.NewCanvas();
        engine.DeleteTempFiles();
        engine.ForgetDecodedPictures();
        state.ResumeTiming();
    }
}

void BM_StitchTiles(benchmark::State& state)
{
    const QString dir = BenchInputs::workDir();
    const QString stem = QDir(dir).filePath(QStringLiteral("tile"));
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 6; ++c) {
            const QString tile = stem + QStringLiteral("%1%2.png").arg(r).arg(c);
            if (!QFile::exists(tile))
                BenchInputs::capture(r * 6 + c, 1000, 1000).save(tile, "PNG");
        }
    }
    const QString out = QDir(dir).filePath(QStringLiteral("stitched.png"));
    for (auto _ : state) {
        CImgJoinEngine engine;
        benchmark::DoNotOptimize(engine.StitchTiles(stem, out, 6, 6, QStringLiteral("PNG")));
    }
}

// Sixty captures on the canvas, painted at fit zoom, at 1:1 and transparent:
// the process's peak memory is reported as a counter.
void BM_SixtyCapturesMemory(benchmark::State& state)
{
    const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 60);
    for (auto _ : state) {
        CImgJoinEngine engine;
        engine.SetDataDir(BenchInputs::workDir());
        for (int i = 0; i < files.size(); ++i)
            engine.addPlacedPicture(files.at(i), (i % 10) * 1730, (i / 10) * 970);
        QImage buffer(CaptureWidth, CaptureHeight, QImage::Format_RGB32);
        paintCanvas(engine, buffer);
        engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
        paintCanvas(engine, buffer);
        engine.SetHotTransparent(1);
        paintCanvas(engine, buffer);
        engine.Zoom(ZoomCode::OneToOne, ZoomTarget::Canvas);
        paintCanvas(engine, buffer);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

} // namespace

// A nudge on a full canvas and its undo and redo: each records the whole
// list of picture records, so this is what a key press costs at most.
void BM_NudgeUndoRedo(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    for (int i = 0; i < CImgJoinEngine::MaxPictures; ++i)
        engine.addPlacedPicture(QStringLiteral("/nonexistent/capture%1.png").arg(i), i * 100, 0,
                                1920, 1080);
    for (auto _ : state) {
        engine.ModifyCurrentPicture(ModifyCode::NudgeRight);
        engine.ModifyCurrentPicture(ModifyCode::TurnRightStep); // a step of its own
        engine.Undo();
        engine.Redo();
    }
    state.counters["steps"] = engine.undoStack().count();
}

// Undoing a cut of one of twenty fitted captures and redoing it, each with
// the repaint that shows it: the records change back to the uncut file and
// forward to the clip, whose renditions the paint makes or finds again.
void BM_TrimUndoRedo(benchmark::State& state)
{
    CImgJoinEngine engine;
    engine.SetDataDir(BenchInputs::workDir());
    layTwentyCaptures(engine, BenchInputs::captureFiles(BenchInputs::workDir(), 20));
    QImage buffer(CaptureWidth, CaptureHeight, QImage::Format_RGB32);
    paintCanvas(engine, buffer);
    engine.Zoom(ZoomCode::Fit, ZoomTarget::Canvas);
    paintCanvas(engine, buffer);
    const QRect box = engine.CurrentScreenBox();
    if (engine
            .ClipCurrentPicture(box.left() + box.width() / 4, box.top() + box.height() / 4,
                                box.right() - box.width() / 4, box.bottom() - box.height() / 4)
            .isEmpty()) {
        state.SkipWithError("the cut failed");
        return;
    }
    paintCanvas(engine, buffer);
    for (auto _ : state) {
        engine.Undo();
        paintCanvas(engine, buffer);
        engine.Redo();
        paintCanvas(engine, buffer);
        benchmark::DoNotOptimize(buffer.constBits());
    }
    state.counters["steps"] = engine.undoStack().count();
}

BENCHMARK(BM_DrawPictures_Plain)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawPictures_Transparent)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawPictures_TrimLine)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawPictures_NewZoom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClipCurrentPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJoinedPicture)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StitchTiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NudgeUndoRedo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrimUndoRedo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixtyCapturesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
