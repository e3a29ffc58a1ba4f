#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "UserPrompts.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <cmath>

using namespace CommandId;
using View = CQznImgEdtJoinView;

namespace {

void turnWheel(QWidget* widget, const QPoint& at, const QPoint& angle,
               Qt::KeyboardModifiers modifiers)
{
    QWheelEvent wheel(QPointF(at), widget->mapToGlobal(QPointF(at)), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

void dropFiles(QWidget* widget, const QStringList& files, const QPoint& at)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    QVERIFY(drop.isAccepted());
}

// The view point where a canvas point shows, before the cut to whole pixels.
QPointF viewPointOf(const CImgJoinEngine& engine, const QPointF& canvas)
{
    const double zoom = engine.canvasZoom();
    return QPointF(canvas.x() * zoom, canvas.y() * zoom) + QPointF(engine.canvasOrigin());
}

bool near(const QPointF& a, const QPointF& b, double tolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

int countColour(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

} // namespace

class ViewInputTest : public QObject
{
    Q_OBJECT

private slots:
    void ctrlWheelZoomsAboutMouse_data();
    void ctrlWheelZoomsAboutMouse();
    void ctrlWheelZoomsOutputPictureAboutMouse();
    void wheelScrollsAndZoomStaysBounded();
    void arrowKeysNudgeInCanvasUnits();
    void deleteAsksAndEscapeCancels();
    void commandKeysShowInMenusAndTips();
    void droppedFilesLandAtDropPoint_data();
    void droppedFilesLandAtDropPoint();
    void dropRefusesUnreadableAndExtraFiles();
    void dropInOutputModeReplacesOutputPicture();
    void positionTextFollowsChangesAndDrags();
    void outlineShowsButIsNeverSaved();
    void toolBarPicturesAreTheProgramsOwn();
};

void ViewInputTest::ctrlWheelZoomsAboutMouse_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QPoint>("mouse");
    QTest::addColumn<int>("turn");
    QTest::newRow("1:1 in") << 1.0 << QPoint(0, 0) << QPoint(150, 70) << 120;
    QTest::newRow("1:1 out two notches") << 1.0 << QPoint(10, 5) << QPoint(613, 377) << -240;
    QTest::newRow("0.62 in") << 0.62 << QPoint(40, 30) << QPoint(311, 205) << 120;
    QTest::newRow("0.62 out") << 0.62 << QPoint(-120, 64) << QPoint(77, 543) << -120;
    QTest::newRow("2.5 in") << 2.5 << QPoint(-300, -200) << QPoint(401, 299) << 120;
    QTest::newRow("2.5 out, half notch") << 2.5 << QPoint(7, 3) << QPoint(799, 1) << -60;
}

void ViewInputTest::ctrlWheelZoomsAboutMouse()
{
    QFETCH(double, zoom);
    QFETCH(QPoint, origin);
    QFETCH(QPoint, mouse);
    QFETCH(int, turn);
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 1920, 1080));
    t.engine->setCanvasMapping(float(zoom), origin.x(), origin.y());
    t.paint();
    const QPointF under = t.engine->CanvasPointAt(QPointF(mouse));

    turnWheel(t.view.get(), mouse, QPoint(0, turn), Qt::ControlModifier);

    const double expected = zoom * std::pow(View::WheelZoomStep, turn / 120.0);
    QVERIFY2(qFuzzyCompare(double(t.engine->canvasZoom()), double(float(expected))),
             qPrintable(QString::number(double(t.engine->canvasZoom()))));
    QVERIFY(near(viewPointOf(*t.engine, under), QPointF(mouse), 1.0));
    // The picture keeps its canvas box; only the view of it changed.
    QCOMPARE(QRect(t.engine->picture(0).x, t.engine->picture(0).y, t.engine->picture(0).width,
                   t.engine->picture(0).height),
             QRect(0, 0, 1920, 1080));
}

void ViewInputTest::ctrlWheelZoomsOutputPictureAboutMouse()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 1920, 1080));
    t.view->commands().trigger(OutputMode);
    t.paint(); // fits the output picture
    for (int turn : { 120, 120, -360, 60 }) {
        const QPoint mouse(523, 211);
        const double zoom = t.engine->outputZoom();
        const QPointF pos(t.engine->outputPos());
        const QPointF under = (QPointF(mouse) - pos) / zoom;
        turnWheel(t.view.get(), mouse, QPoint(0, turn), Qt::ControlModifier);
        QVERIFY(qFuzzyCompare(double(t.engine->outputZoom()),
                              double(float(zoom * std::pow(View::WheelZoomStep, turn / 120.0)))));
        const QPointF shown =
            under * double(t.engine->outputZoom()) + QPointF(t.engine->outputPos());
        QVERIFY(near(shown, QPointF(mouse), 1.0));
        t.paint();
    }
    QVERIFY(t.engine->outputFitted()); // the paint does not fit it again
}

void ViewInputTest::wheelScrollsAndZoomStaysBounded()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    t.engine->setCanvasMapping(0.62f, 40, 30);
    const int renders = t.view->canvasRenders();
    // Up shows what lies above: the drawing moves down; Shift turns it sideways.
    turnWheel(t.view.get(), QPoint(100, 100), QPoint(0, 120), Qt::NoModifier);
    QCOMPARE(t.engine->canvasOrigin(), QPoint(40, 30 + View::WheelScrollStep));
    turnWheel(t.view.get(), QPoint(100, 100), QPoint(0, -240), Qt::ShiftModifier);
    QCOMPARE(t.engine->canvasOrigin(),
             QPoint(40 - 2 * View::WheelScrollStep, 30 + View::WheelScrollStep));
    QCOMPARE(t.engine->picture(0).x, 0);
    QCOMPARE(t.engine->canvasZoom(), 0.62f);
    t.paint();
    QVERIFY(t.view->canvasRenders() > renders);

    // A long spin ends at the zoom limits instead of running off to nothing
    // or to infinity.
    for (int i = 0; i < 200; ++i)
        turnWheel(t.view.get(), QPoint(10, 10), QPoint(0, 120), Qt::ControlModifier);
    QVERIFY(std::isfinite(t.engine->canvasZoom()));
    QVERIFY(t.engine->canvasZoom() <= 64.0f);
    for (int i = 0; i < 400; ++i)
        turnWheel(t.view.get(), QPoint(10, 10), QPoint(0, -120), Qt::ControlModifier);
    QVERIFY(t.engine->canvasZoom() > 0.0f);
    QVERIFY(t.engine->canvasZoom() >= float(1.0 / 64));
    t.paint();

    // Not while a handle is held: its drag is measured in view pixels.
    t.engine->setCanvasMapping(1.0f, 0, 0);
    t.view->invalidate();
    t.paint();
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 50));
    QCOMPARE(t.view->dragHandle(), GrabHandle::Right);
    QWheelEvent held(QPointF(200, 50), t.view->mapToGlobal(QPointF(200, 50)), QPoint(),
                     QPoint(0, 120), Qt::LeftButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(t.view.get(), &held);
    QCOMPARE(t.engine->canvasZoom(), 1.0f);
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(220, 50));
    QCOMPARE(t.engine->picture(0).width, 220);

    // Print-output mode scrolls the output picture.
    t.view->commands().trigger(OutputMode);
    t.paint();
    const QPoint before = t.engine->outputPos();
    turnWheel(t.view.get(), QPoint(100, 100), QPoint(0, -120), Qt::NoModifier);
    QCOMPARE(t.engine->outputPos(), before - QPoint(0, View::WheelScrollStep));
}

void ViewInputTest::arrowKeysNudgeInCanvasUnits()
{
    ViewUnderTest t;
    t.view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.view.get()));
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    for (const float zoom : { 1.0f, 0.62f, 2.5f }) {
        t.engine->setCanvasMapping(zoom, 0, 0);
        const QPoint start(t.engine->picture(0).x, t.engine->picture(0).y);
        QTest::keyClick(t.view.get(), Qt::Key_Right);
        QTest::keyClick(t.view.get(), Qt::Key_Down);
        QTest::keyClick(t.view.get(), Qt::Key_Down);
        QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), start + QPoint(1, 2));
        QTest::keyClick(t.view.get(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(t.view.get(), Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y),
                 start + QPoint(1 - View::LongNudge, 2 - View::LongNudge));
    }
    // Nothing to nudge in print-output mode.
    t.view->commands().trigger(OutputMode);
    const QPoint output = t.engine->outputPos();
    QTest::keyClick(t.view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(t.view.get(), Qt::Key_Right);
    QCOMPARE(t.engine->outputPos(), output);
}

void ViewInputTest::deleteAsksAndEscapeCancels()
{
    ViewUnderTest t;
    t.view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.view.get()));
    int asked = 0;
    bool answer = false;
    UserPrompts prompts;
    prompts.setAsk([&](QWidget*, const QString&, const QString&) {
        ++asked;
        return answer;
    });
    t.view->setPrompts(prompts);
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    t.loadAndPaint(t.writePicture(QStringLiteral("b.png"), 200, 100));

    QTest::keyClick(t.view.get(), Qt::Key_Delete);
    QCOMPARE(asked, 1);
    QCOMPARE(t.engine->GetPictureCount(), 2); // "no" keeps it
    answer = true;
    QTest::keyClick(t.view.get(), Qt::Key_Delete);
    QCOMPARE(asked, 2);
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QVERIFY(t.engine->picture(0).file.endsWith(QStringLiteral("a.png")));

    // Escape leaves a trim window, with its band, and a trim line unplaced.
    t.view->commands().trigger(TrimWindow);
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    moveMouse(t.view.get(), QPoint(80, 60), Qt::NoButton);
    QVERIFY(t.view->bandVisible());
    QTest::keyClick(t.view.get(), Qt::Key_Escape);
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QVERIFY(!t.view->bandVisible());
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 70));
    QCOMPARE(t.engine->picture(0).width, 200); // the second press trims nothing

    t.view->commands().trigger(TrimLineDown);
    QCOMPARE(t.view->mouseMode(), MouseMode::TrimLineDown);
    QTest::keyClick(t.view.get(), Qt::Key_Escape);
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(t.engine->trimMode(), TrimMode::None);
}

void ViewInputTest::commandKeysShowInMenusAndTips()
{
    ViewUnderTest t;
    t.view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.view.get()));
    struct Case
    {
        int id;
        QKeySequence key;
    };
    const QList<Case> cases = {
        { ZoomFit, QKeySequence(QStringLiteral("Ctrl+0")) },
        { ZoomOriginal, QKeySequence(QStringLiteral("Ctrl+1")) },
        { ZoomIn, QKeySequence(QStringLiteral("Ctrl+=")) },
        { ZoomOut, QKeySequence(QStringLiteral("Ctrl+-")) },
        { NudgeUp, QKeySequence(Qt::Key_Up) },
        { NudgeDown, QKeySequence(Qt::Key_Down) },
        { NudgeLeft, QKeySequence(Qt::Key_Left) },
        { NudgeRight, QKeySequence(Qt::Key_Right) },
        { DeletePicture, QKeySequence(QKeySequence::Delete) },
    };
    QSignalSpy done(&t.view->commands(), &CViewCommands::commandDone);
    for (const Case& c : cases) {
        QAction* action = t.view->commands().action(c.id);
        QVERIFY(action->shortcuts().contains(c.key));
        QVERIFY2(action->toolTip().contains(c.key.toString(QKeySequence::NativeText)),
                 qPrintable(action->toolTip()));
    }
    // The zoom keys run their commands.
    const QList<std::pair<QKeyCombination, int>> zoomKeys = {
        { Qt::ControlModifier | Qt::Key_0, ZoomFit },
        { Qt::ControlModifier | Qt::Key_1, ZoomOriginal },
        { Qt::ControlModifier | Qt::Key_Equal, ZoomIn },
        { Qt::ControlModifier | Qt::Key_Minus, ZoomOut },
    };
    for (const auto& [key, id] : zoomKeys) {
        done.clear();
        QTest::keyClick(t.view.get(), key.key(), key.keyboardModifiers());
        QCOMPARE(done.size(), 1);
        QCOMPARE(done.first().first().toInt(), id);
    }
}

void ViewInputTest::droppedFilesLandAtDropPoint_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("1:1") << 1.0 << QPoint(0, 0);
    QTest::newRow("0.62") << 0.62 << QPoint(40, 30);
    QTest::newRow("2.5") << 2.5 << QPoint(-300, -200);
}

void ViewInputTest::droppedFilesLandAtDropPoint()
{
    QFETCH(double, zoom);
    QFETCH(QPoint, origin);
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("base.png"), 300, 200));
    t.engine->setCanvasMapping(float(zoom), origin.x(), origin.y());
    t.view->commands().trigger(WholeDrawing);
    const QString a = t.writePicture(QStringLiteral("a.png"), 120, 80);
    const QString b = t.writePicture(QStringLiteral("b.png"), 60, 40);
    const QPoint at(311, 205);

    dropFiles(t.view.get(), { a, b }, at);

    const QPoint corner(int(std::floor((at.x() - origin.x()) / zoom)),
                        int(std::floor((at.y() - origin.y()) / zoom)));
    QCOMPARE(t.engine->GetPictureCount(), 3);
    // In the order dropped, the last on top and current, each at full size.
    QCOMPARE(t.engine->picture(1).file, a);
    QCOMPARE(t.engine->picture(2).file, b);
    QCOMPARE(t.engine->currentPicture(), 2);
    QCOMPARE(QRect(t.engine->picture(1).x, t.engine->picture(1).y, t.engine->picture(1).width,
                   t.engine->picture(1).height),
             QRect(corner, QSize(120, 80)));
    QCOMPARE(QPoint(t.engine->picture(2).x, t.engine->picture(2).y), corner);
    // Its top-left corner shows at the drop point.
    QVERIFY(near(viewPointOf(*t.engine, QPointF(corner)), QPointF(at), std::max(1.0, zoom)));
    QVERIFY(!t.view->wholeDrawing());
    QCOMPARE(t.engine->picture(0).x, 0);
}

void ViewInputTest::dropRefusesUnreadableAndExtraFiles()
{
    ViewUnderTest t;
    QSignalSpy status(t.view.get(), &View::statusMessage);
    const QString good = t.writePicture(QStringLiteral("good.png"), 40, 30);
    const QString broken = QDir(t.dir->path()).filePath(QStringLiteral("broken.png"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const QString missing = QDir(t.dir->path()).filePath(QStringLiteral("missing.png"));

    dropFiles(t.view.get(), { broken, good, missing }, QPoint(10, 10));
    QCOMPARE(t.engine->GetPictureCount(), 1);
    QCOMPARE(t.engine->picture(0).file, good);
    QCOMPARE(status.size(), 1);
    const QString message = status.first().first().toString();
    QVERIFY2(message.contains(QStringLiteral("broken.png")) &&
                 message.contains(QStringLiteral("missing.png")) &&
                 !message.contains(QStringLiteral("good.png")),
             qPrintable(message));

    // Up to the picture limit; the rest are refused, and the user told.
    for (int i = t.engine->GetPictureCount(); i < CImgJoinEngine::MaxPictures - 1; ++i)
        QVERIFY(t.engine->addPlacedPicture(good, i, i));
    status.clear();
    const QString a = t.writePicture(QStringLiteral("a.png"), 40, 30);
    const QString b = t.writePicture(QStringLiteral("b.png"), 40, 30);
    dropFiles(t.view.get(), { a, b, good }, QPoint(50, 60));
    QCOMPARE(t.engine->GetPictureCount(), CImgJoinEngine::MaxPictures);
    QCOMPARE(t.engine->picture(CImgJoinEngine::MaxPictures - 1).file, a);
    QCOMPARE(status.size(), 1);
    QVERIFY2(status.first().first().toString().contains(QString::number(2)),
             qPrintable(status.first().first().toString()));
}

void ViewInputTest::dropInOutputModeReplacesOutputPicture()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    t.view->commands().trigger(OutputMode);
    t.paint();
    QSignalSpy status(t.view.get(), &View::statusMessage);
    const QString b = t.writePicture(QStringLiteral("b.png"), 64, 48);
    const QString c = t.writePicture(QStringLiteral("c.png"), 64, 48);
    dropFiles(t.view.get(), { b, c }, QPoint(30, 30));
    QCOMPARE(t.engine->GetOutputFile(), b);
    QCOMPARE(t.engine->outputOrigFile(), b);
    QCOMPARE(t.engine->GetPictureCount(), 0);
    QCOMPARE(status.size(), 1); // c was not used
    const QImage shown = t.paint();
    QVERIFY(t.engine->outputFitted());
    QCOMPARE(t.engine->GetOutputImage().size(), QSize(64, 48));
    QVERIFY(!shown.isNull());
}

void ViewInputTest::positionTextFollowsChangesAndDrags()
{
    ViewUnderTest t;
    QSignalSpy changed(t.view.get(), &View::positionChanged);
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    const QString loaded = QStringLiteral("a.png  x=0 y=0 宽=200 高=100  角度 0.0°  缩放 100%");
    QCOMPARE(t.view->positionText(), loaded);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.last().first().toString(), loaded);

    t.view->commands().trigger(NudgeRight);
    t.view->commands().trigger(RotateRightStep);
    QCOMPARE(changed.last().first().toString(),
             QStringLiteral("a.png  x=1 y=0 宽=200 高=100  角度 0.1°  缩放 100%"));
    t.view->commands().trigger(RotateNone);
    t.paint();

    // Live while the right-edge handle is held: the box the drag makes.
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(201, 50));
    QCOMPARE(t.view->dragHandle(), GrabHandle::Right);
    moveMouse(t.view.get(), QPoint(241, 50), Qt::LeftButton);
    QCOMPARE(changed.last().first().toString(),
             QStringLiteral("a.png  x=1 y=0 宽=240 高=100  角度 0.0°  缩放 100%"));
    QCOMPARE(t.engine->picture(0).width, 200);
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(241, 50));
    QCOMPARE(changed.last().first().toString(),
             QStringLiteral("a.png  x=1 y=0 宽=240 高=100  角度 0.0°  缩放 100%"));

    // And while the middle button moves the picture.
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    moveMouse(t.view.get(), QPoint(130, 120), Qt::MiddleButton);
    QCOMPARE(changed.last().first().toString(),
             QStringLiteral("a.png  x=31 y=20 宽=240 高=100  角度 0.0°  缩放 100%"));
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(130, 120));
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(31, 20));

    // The zoom, in percent, after the wheel.
    turnWheel(t.view.get(), QPoint(10, 10), QPoint(0, -120), Qt::ControlModifier);
    QVERIFY2(changed.last().first().toString().endsWith(QStringLiteral("缩放 91%")),
             qPrintable(changed.last().first().toString()));

    // Print-output mode names the output picture.
    t.view->commands().trigger(OutputMode);
    t.paint();
    QVERIFY(t.view->positionText().startsWith(QStringLiteral("打印输出图片 a.png")));
}

void ViewInputTest::outlineShowsButIsNeverSaved()
{
    for (const float zoom : { 1.0f, 0.62f, 2.5f }) {
        ViewUnderTest t;
        const QString file = t.writePicture(QStringLiteral("a.png"), 200, 100);
        t.loadAndPaint(file);
        t.engine->setCanvasMapping(zoom, 50, 40);
        t.view->invalidate();
        const QImage shown = t.paint();
        const QRect box = t.engine->CurrentScreenBox();
        // Both colours run along the line just outside the box, top and left.
        const auto onLine = [&](const QColor& colour) {
            int n = 0;
            for (int x = box.left(); x <= box.right(); ++x)
                n += shown.pixelColor(x, box.top() - 1) == colour ? 1 : 0;
            for (int y = box.top(); y <= box.bottom(); ++y)
                n += shown.pixelColor(box.left() - 1, y) == colour ? 1 : 0;
            return n;
        };
        QVERIFY(onLine(View::outlineLight()) > box.width() / 4);
        QVERIFY(onLine(View::outlineDark()) > box.width() / 4);
        // The picture's own corner pixel is not covered.
        QCOMPARE(shown.pixelColor(box.topLeft()).blue(), 77);

        // The joined picture and the saved file hold the picture only.
        const QImage joined = t.engine->RenderJoinedPicture().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(countColour(joined, View::outlineLight()), 0);
        QCOMPARE(countColour(joined, View::outlineDark()), 0);
        const QString saved = QDir(t.dir->path()).filePath(QStringLiteral("joined.png"));
        QVERIFY(t.engine->SaveJoinedPicture(QStringLiteral("png"), saved));
        QImage reread(saved);
        QCOMPARE(reread.convertToFormat(QImage::Format_RGB32),
                 QImage(file).convertToFormat(QImage::Format_RGB32));

        // A picture scrolled out of the view leaves no outline behind.
        t.engine->setCanvasMapping(zoom, -5000, -5000);
        t.view->invalidate();
        const QImage away = t.paint();
        QCOMPARE(countColour(away, View::outlineLight()), 0);
        QCOMPARE(countColour(away, View::outlineDark()), 0);
    }
}

void ViewInputTest::toolBarPicturesAreTheProgramsOwn()
{
    // A theme that has pale grey pictures under these names must not replace ours.
    const QString themeBefore = QIcon::themeName();
    const QStringList pathsBefore = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths(pathsBefore + QStringList{ QStringLiteral("/usr/share/icons") });
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    const auto restore = qScopeGuard([&] {
        QIcon::setThemeName(themeBefore);
        QIcon::setThemeSearchPaths(pathsBefore);
    });
    if (QIcon::fromTheme(QStringLiteral("zoom-in")).isNull())
        QSKIP("no icon theme with these pictures is installed");
    CViewCommands commands;
    commands.createActions();
    for (int id : { ZoomIn, ZoomOut, Redraw, ZoomOriginal, ZoomFit, NudgeUp, NudgeDown, NudgeLeft,
                    NudgeRight }) {
        const QIcon own(QStringLiteral(":/icons/cmd-%1.svg").arg(id));
        QVERIFY(!own.isNull());
        QCOMPARE(commands.action(id)->icon().pixmap(16, 16).toImage(),
                 own.pixmap(16, 16).toImage());
    }
}

QTEST_MAIN(ViewInputTest)
#include "ViewInputTest.moc"
