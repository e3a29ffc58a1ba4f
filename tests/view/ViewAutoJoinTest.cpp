#include "CImgJoinEngine.h"
#include "CProgressDlg.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "SyntheticCaptures.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
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

// Three overlapping captures of one made-up drawing, small enough that Qt
// converts and scales them on the calling thread.
SyntheticCaptures::Set captureSet(quint32 seed)
{
    SyntheticCaptures::Options options;
    options.drawingSize = { 900, 600 };
    options.captureSize = { 320, 200 };
    options.count = 3;
    options.gridPitch = 120;
    options.seed = seed;
    return SyntheticCaptures::make(options);
}

// Writes the captures into the folder; returns their files.
QStringList writeCaptures(const SyntheticCaptures::Set& set, const QString& folder,
                          const QString& stem)
{
    QStringList files;
    for (qsizetype i = 0; i < set.captures.size(); ++i) {
        const QString file = QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(stem).arg(i));
        set.captures.at(i).save(file);
        files << file;
    }
    return files;
}

// The pictures sit as the captures' drawing areas sit in the drawing.
void verifyArranged(const CImgJoinEngine& engine, int firstIndex, const SyntheticCaptures::Set& set,
                    const QStringList& files)
{
    const JoinPicture& first = engine.picture(firstIndex);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const JoinPicture& placed = engine.picture(firstIndex + int(i));
        QVERIFY(placed.file != files.at(i)); // its drawing area, cut into a clip file
        QVERIFY(QFileInfo::exists(placed.file));
        QCOMPARE(QSize(placed.width, placed.height), set.area.size());
        QCOMPARE(QPoint(placed.x - first.x, placed.y - first.y),
                 set.positions.at(i) - set.positions.at(0));
    }
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
    const QImage ground = SyntheticCaptures::drawing(QSize(300, 200), 120, 7);
    const QString groundFile = QDir(t.dir->path()).filePath(QStringLiteral("ground.png"));
    const QString pieceFile = QDir(t.dir->path()).filePath(QStringLiteral("piece.png"));
    const QString otherFile = QDir(t.dir->path()).filePath(QStringLiteral("other.png"));
    QVERIFY(ground.save(groundFile));
    const QImage piece = ground.copy(100, 50, 150, 100);
    QVERIFY(piece.save(pieceFile));
    QVERIFY(SyntheticCaptures::drawing(QSize(150, 100), 120, 99).save(otherFile));
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
    const SyntheticCaptures::Set set = captureSet(11);
    const QStringList files = writeCaptures(set, t.dir->path(), QStringLiteral("screen"));
    QStringList captured;
    for (const QString& file : files)
        captured << t.engine->CaptureScreen(QImage(file));
    QVERIFY(!captured.contains(QString()));
    QCOMPARE(t.engine->GetPictureCount(), 3);
    t.paint();
    t.view->updateActions(); // as the frame does after a capture
    QVERIFY(t.view->commands().action(AutoJoinAll)->isEnabled());
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
    verifyArranged(*t.engine, 0, set, captured);

    // The view shows the whole drawing, as the fit command leaves it.
    const float zoom = t.engine->canvasZoom();
    const QPoint origin = t.engine->canvasOrigin();
    t.view->commands().trigger(ZoomFit);
    QCOMPARE(t.engine->canvasZoom(), zoom);
    QCOMPARE(t.engine->canvasOrigin(), origin);

    t.view->commands().trigger(EditUndo);
    QVERIFY(records(*t.engine) == before);
}

void ViewAutoJoinTest::nothingPlacedChangesNothingAndSaysWhy()
{
    // Two drawings that have nothing in common.
    ViewUnderTest t;
    const QString a = QDir(t.dir->path()).filePath(QStringLiteral("a.png"));
    const QString b = QDir(t.dir->path()).filePath(QStringLiteral("b.png"));
    QVERIFY(captureSet(1).captures.constFirst().save(a));
    QVERIFY(captureSet(2).captures.constFirst().save(b));
    t.loadAndPaint(a);
    t.loadAndPaint(b);
    const QList<JoinPicture> before = records(*t.engine);
    const int stepsBefore = t.engine->undoStack().count();
    const QStringList filesBefore = filesUnder(t.dir->path());
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    QSignalSpy errors(t.engine.get(), &CImgJoinEngine::errorOccurred);

    t.view->commands().trigger(AutoJoinAll);
    QVERIFY(records(*t.engine) == before);
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
    const QStringList files = writeCaptures(captureSet(12), t.dir->path(), QStringLiteral("cap"));
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

    QVERIFY(records(*t.engine) == before);
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
    const SyntheticCaptures::Set set = captureSet(13);
    const QStringList files = writeCaptures(set, t.dir->path(), QStringLiteral("cap"));

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
    QVERIFY(records(*t.engine) == declined);

    // A set, accepted: just the dropped pictures are arranged.
    answer = true;
    const JoinPicture alone = t.engine->picture(0);
    dropOn(t.view.get(), files, QPoint(30, 30));
    QTRY_COMPARE(questions.size(), 2);
    QCOMPARE(t.engine->GetPictureCount(), 7);
    QVERIFY(records(*t.engine).mid(0, 4) == declined); // the others stay
    verifyArranged(*t.engine, 4, set, files);
    QCOMPARE(t.engine->picture(0).file, alone.file);
}

QTEST_MAIN(ViewAutoJoinTest)
#include "ViewAutoJoinTest.moc"
