#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QFileInfo>
#include <QMenu>
#include <QTest>

using View = CQznImgEdtJoinView;

namespace {

// Whether a band edge runs along row y from x0 to x1: the band's light dashes
// stand out on the black canvas.
bool bandEdgeAlong(const QImage& shown, int y, int x0, int x1)
{
    int light = 0;
    for (int x = x0; x < x1; ++x)
        light += shown.pixelColor(x, y) == QColor(Qt::white) ? 1 : 0;
    return light >= (x1 - x0) / 4;
}

} // namespace

class ViewMouseTest : public QObject
{
    Q_OBJECT

private slots:
    void handleDragStretchesPicture();
    void handleDragBandSpansFixedLength();
    void trimWindowCuts_data();
    void trimWindowCuts();
    void trimWindowNeedsMoveBeforeSecondPress();
    void bandTrackingDoesNotRedrawCanvas();
    void trimLineCutsOnScreenThenForGood();
    void middlePanMovesPictureOrWholeDrawing();
    void middlePanMovesOutputPicture();
    void rightPressCancelsModes();
};

void ViewMouseTest::handleDragStretchesPicture()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    // The right-edge handle is centred on (200, 50).
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 50));
    QCOMPARE(t.view->dragHandle(), GrabHandle::Right);
    QCOMPARE(t.view->dragState(), DragState::HandleArmed);
    moveMouse(t.view.get(), QPoint(260, 55), Qt::LeftButton);
    QVERIFY(t.view->handleBandVisible());
    QCOMPARE(t.engine->picture(0).width, 200); // nothing changes while dragging
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(260, 55));

    QCOMPARE(t.engine->picture(0).width, 260);
    QCOMPARE(t.engine->picture(0).height, 100);
    QVERIFY(!t.view->handleBandVisible());

    // The bottom handle of the stretched picture, dragged upward.
    t.paint();
    dragMouse(t.view.get(), Qt::LeftButton, QPoint(130, 100), QPoint(130, 70));
    QCOMPARE(t.engine->picture(0).height, 70);
    QCOMPARE(t.engine->picture(0).width, 260);
}

void ViewMouseTest::handleDragBandSpansFixedLength()
{
    ViewUnderTest t(2400, 300);
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QCOMPARE(t.view->dragHandle(), GrabHandle::Bottom);
    moveMouse(t.view.get(), QPoint(140, 160), Qt::LeftButton);
    // Across the view, 2048 pixels long even where the view is wider.
    QCOMPARE(t.view->handleBandRect(), QRect(0, 100, View::HandleBandLength, 60));
    const QImage shown = t.paint();
    QVERIFY(bandEdgeAlong(shown, 100, 1000, 1040));
    QVERIFY(!bandEdgeAlong(shown, 100, 2060, 2100));
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(140, 160));
    QCOMPARE(t.engine->picture(0).height, 160);
}

void ViewMouseTest::trimWindowCuts_data()
{
    QTest::addColumn<float>("zoom");
    QTest::newRow("zoom 1") << 1.0f;
    QTest::newRow("zoom 2") << 2.0f;
}

void ViewMouseTest::trimWindowCuts()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 400, 300);
    t.engine->setCanvasMapping(zoom, 0, 0);
    t.loadAndPaint(original);

    t.view->commands().trigger(CommandId::TrimWindow);
    QCOMPARE(t.view->mouseMode(), MouseMode::TrimWindowArmed);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QCOMPARE(t.view->mouseMode(), MouseMode::TrimWindowBand);
    moveMouse(t.view.get(), QPoint(120, 90), Qt::NoButton); // the band follows without a button
    QVERIFY(t.view->bandVisible());
    QCOMPARE(t.view->bandRect(), QRect(20, 30, 100, 60));
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));

    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QVERIFY(!t.view->bandVisible());
    const JoinPicture& cut = t.engine->picture(0);
    QVERIFY(cut.file != original);
    QCOMPARE(cut.x, int(20 / zoom));
    QCOMPARE(cut.y, int(30 / zoom));
    QCOMPARE(cut.width, int(100 / zoom));
    QCOMPARE(cut.height, int(60 / zoom));
    const QImage written(cut.file);
    QCOMPARE(written.size(), QSize(cut.width, cut.height));
    // Its first pixel is the original's pixel under the band's corner.
    QCOMPARE(qRed(written.pixel(0, 0)), int(20 / zoom));
    QCOMPARE(qGreen(written.pixel(0, 0)), int(30 / zoom));
    QVERIFY(QFileInfo::exists(original)); // the user's file is untouched
}

void ViewMouseTest::trimWindowNeedsMoveBeforeSecondPress()
{
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 400, 300);
    t.loadAndPaint(original);
    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QCOMPARE(t.engine->picture(0).file, original);

    // Nor does a band left over from an earlier, cancelled trim window.
    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    moveMouse(t.view.get(), QPoint(200, 150), Qt::NoButton);
    QCOMPARE(t.view->bandRect(), QRect(20, 20, 180, 130));
    QTest::mouseClick(t.view.get(), Qt::RightButton, Qt::NoModifier, QPoint(200, 150));
    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 60));
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QCOMPARE(t.engine->picture(0).file, original);
    QCOMPARE(t.engine->picture(0).width, 400);
    QCOMPARE(t.engine->picture(0).height, 300);
}

void ViewMouseTest::bandTrackingDoesNotRedrawCanvas()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 400, 300));
    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    const int renders = t.view->canvasRenders();
    for (int i = 0; i < 20; ++i) {
        moveMouse(t.view.get(), QPoint(30 + 7 * i, 40 + 5 * i), Qt::NoButton);
        t.paint();
    }
    // Moving the band only blits the kept canvas; the band shows on it.
    QCOMPARE(t.view->canvasRenders(), renders);
    const QRect band = t.view->bandRect();
    QVERIFY(band.width() > 100);
    QVERIFY(bandEdgeAlong(t.paint(), band.bottom(), band.left() + 10, band.left() + 90));
    // Cancelling takes the band off without drawing the canvas again.
    QTest::mouseClick(t.view.get(), Qt::RightButton);
    const QImage after = t.paint();
    QCOMPARE(t.view->canvasRenders(), renders);
    QVERIFY(!bandEdgeAlong(after, band.bottom(), band.left() + 10, band.left() + 90));
}

void ViewMouseTest::trimLineCutsOnScreenThenForGood()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 400, 300));
    const auto menuIds = [&t] {
        QList<int> ids;
        const std::unique_ptr<QMenu> menu = t.view->buildPopupMenu(CommandId::TrimLineMenu);
        for (QAction* action : menu->actions())
            ids.append(action->data().toInt());
        return ids;
    };
    QVERIFY(!menuIds().contains(CommandId::TrimByLine));

    // From below: the rows on and below the line stay.
    t.view->commands().trigger(CommandId::TrimLineUp);
    QCOMPARE(t.view->mouseMode(), MouseMode::TrimLineUp);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 120));
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    const QImage shown = t.paint();
    QCOMPARE(shown.pixelColor(300, 60), QColor(Qt::black)); // cut away on screen
    QCOMPARE(qGreen(shown.pixel(300, 200)), 200);
    QCOMPARE(t.engine->picture(0).height, 300); // not yet for good
    QVERIFY(menuIds().contains(CommandId::TrimByLine));

    t.view->commands().trigger(CommandId::TrimByLine);
    QCOMPARE(t.engine->picture(0).y, 120);
    QCOMPARE(t.engine->picture(0).height, 180);
    QCOMPARE(t.engine->trimMode(), TrimMode::None);
    t.paint();
    QVERIFY(!menuIds().contains(CommandId::TrimByLine));
}

void ViewMouseTest::middlePanMovesPictureOrWholeDrawing()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    moveMouse(t.view.get(), QPoint(120, 130), Qt::MiddleButton);
    QCOMPARE(t.engine->picture(0).x, 0); // nothing moves while the button is held
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(130, 150));
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(30, 50));
    QCOMPARE(t.engine->canvasOrigin(), QPoint(0, 0));

    t.view->commands().trigger(CommandId::WholeDrawing);
    QVERIFY(t.view->wholeDrawing());
    dragMouse(t.view.get(), Qt::MiddleButton, QPoint(300, 300), QPoint(280, 340));
    QCOMPARE(t.engine->canvasOrigin(), QPoint(-20, 40));
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(30, 50));
    const QImage shown = t.paint();
    QCOMPARE(qRed(shown.pixel(10, 90)), 0); // picture now starts at (10, 90)
    QCOMPARE(qGreen(shown.pixel(10, 90)), 0);
}

void ViewMouseTest::middlePanMovesOutputPicture()
{
    ViewUnderTest t;
    t.loadAndPaint(t.writePicture(QStringLiteral("a.png"), 200, 100));
    t.view->commands().trigger(CommandId::OutputMode);
    QCOMPARE(t.view->displayMode(), DisplayMode::Output);
    t.paint();
    const QPoint before = t.engine->outputPos();
    dragMouse(t.view.get(), Qt::MiddleButton, QPoint(100, 100), QPoint(90, 125));
    QCOMPARE(t.engine->outputPos(), before + QPoint(-10, 25));
}

void ViewMouseTest::rightPressCancelsModes()
{
    ViewUnderTest t;
    const QString original = t.writePicture(QStringLiteral("a.png"), 400, 300);
    t.loadAndPaint(original);

    t.view->commands().trigger(CommandId::TrimWindow);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    moveMouse(t.view.get(), QPoint(200, 200), Qt::NoButton);
    QVERIFY(t.view->bandVisible());
    QTest::mouseClick(t.view.get(), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(t.view->mouseMode(), MouseMode::Idle);
    QVERIFY(!t.view->bandVisible());
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QCOMPARE(t.engine->picture(0).file, original);

    // A trim line command followed by a right press places no line.
    t.view->commands().trigger(CommandId::TrimLineLeft);
    QTest::mouseClick(t.view.get(), Qt::RightButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(t.engine->trimMode(), TrimMode::None);
    QCOMPARE(t.view->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(ViewMouseTest)
#include "ViewMouseTest.moc"
