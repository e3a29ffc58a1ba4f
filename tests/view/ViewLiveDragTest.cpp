#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "ViewTestSupport.h"

#include <QTest>

#include <cmath>

using View = CQznImgEdtJoinView;

namespace {

const QColor PictureColour(200, 40, 40);

// A 200×100 picture of one colour, loaded, at this zoom with the canvas
// origin at (20, 30).
void placeSolidPicture(ViewUnderTest& t, float zoom)
{
    QImage solid(200, 100, QImage::Format_RGB32);
    solid.fill(PictureColour);
    const QString path = t.dir->filePath(QStringLiteral("solid.png"));
    QVERIFY(solid.save(path));
    t.loadAndPaint(path);
    t.engine->setCanvasMapping(zoom, 20, 30);
    t.view->invalidate();
    t.paint();
}

// The canvas position a move by this view distance gives at this zoom.
int movedBy(int viewDistance, float zoom)
{
    return int(std::llround(double(viewDistance) / double(zoom)));
}

void addZooms()
{
    QTest::addColumn<float>("zoom");
    QTest::newRow("1:1") << 1.0f;
    QTest::newRow("0.62") << 0.62f;
    QTest::newRow("2.5") << 2.5f;
}

} // namespace

class ViewLiveDragTest : public QObject
{
    Q_OBJECT

private slots:
    void middleDragShowsPictureAtNewPlace_data() { addZooms(); }
    void middleDragShowsPictureAtNewPlace();
    void releaseLandsWherePreviewShowed_data() { addZooms(); }
    void releaseLandsWherePreviewShowed();
    void stretchShowsStretchedBoxLive();
    void positionTextDuringDragIsTheOutcome();
    void dragFramesBlitTheKeptCanvas();
    void trimmedPictureMovesTrimmed();
    void rightButtonAndEscapeCancelDrag();
    void wholeDrawingFollowsMouse();
};

void ViewLiveDragTest::middleDragShowsPictureAtNewPlace()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    placeSolidPicture(t, zoom);
    const QRect before = t.engine->CurrentScreenBox();
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    moveMouse(t.view.get(), QPoint(120, 90), Qt::MiddleButton);
    moveMouse(t.view.get(), QPoint(200, 170), Qt::MiddleButton);
    const QImage shown = t.paint();

    QVERIFY(t.view->dragPreviewShown());
    const QRect preview = t.view->dragPreviewBox();
    QCOMPARE(preview.topLeft(), QPoint(20 + int(float(movedBy(150, zoom)) * zoom),
                                       30 + int(float(movedBy(120, zoom)) * zoom)));
    QCOMPARE(shown.pixelColor(preview.center()), PictureColour);
    QCOMPARE(shown.pixelColor(preview.topLeft() + QPoint(2, 2)), PictureColour);
    // The old place shows the canvas only: the picture is not there twice.
    QCOMPARE(shown.pixelColor(before.topLeft() + QPoint(10, 10)), QColor(Qt::black));
    // Nothing is applied while the button is held.
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(0, 0));
    QCOMPARE(t.engine->CurrentScreenBox(), before);
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(200, 170));
}

void ViewLiveDragTest::releaseLandsWherePreviewShowed()
{
    QFETCH(float, zoom);
    ViewUnderTest t;
    placeSolidPicture(t, zoom);
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
    moveMouse(t.view.get(), QPoint(237, 341), Qt::MiddleButton);
    const QImage during = t.paint();
    const QRect preview = t.view->dragPreviewBox();
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(237, 341));

    QVERIFY(!t.view->dragPreviewShown());
    QCOMPARE(t.engine->picture(0).x, movedBy(-63, zoom));
    QCOMPARE(t.engine->picture(0).y, movedBy(41, zoom));
    QCOMPARE(t.engine->CurrentScreenBox(), preview);
    // Inside the box the pixels are the same before and after the release.
    const QImage after = t.paint();
    const QRect inner = preview.adjusted(8, 8, -8, -8);
    QCOMPARE(after.copy(inner), during.copy(inner));
}

void ViewLiveDragTest::stretchShowsStretchedBoxLive()
{
    const float zoom = 0.62f;
    ViewUnderTest t;
    placeSolidPicture(t, zoom);
    const QRect box = t.engine->CurrentScreenBox();
    const QPoint handle(box.x() + box.width(), box.center().y());
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle);
    QCOMPARE(t.view->dragHandle(), GrabHandle::Right);
    moveMouse(t.view.get(), handle + QPoint(90, 7), Qt::LeftButton);
    const QImage shown = t.paint();

    const int width = 200 + movedBy(90, zoom);
    const QRect preview = t.view->dragPreviewBox();
    QCOMPARE(preview, QRect(box.topLeft(), QSize(int(float(width) * zoom), box.height())));
    // The stretched part shows the picture; the record waits for the release.
    QCOMPARE(shown.pixelColor(QPoint(preview.right() - 4, preview.center().y() + 10)),
             PictureColour);
    QCOMPARE(t.engine->picture(0).width, 200);
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle + QPoint(90, 7));
    QCOMPARE(t.engine->picture(0).width, width);
    QCOMPARE(t.engine->CurrentScreenBox(), preview);
}

void ViewLiveDragTest::positionTextDuringDragIsTheOutcome()
{
    // 63 and 41 pixels at 0.62 are 101.6 and 66.1 units: the text while
    // dragging rounds them as the release does.
    ViewUnderTest t;
    placeSolidPicture(t, 0.62f);
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
    moveMouse(t.view.get(), QPoint(237, 341), Qt::MiddleButton);
    const QString during = t.view->positionText();
    QVERIFY2(during.contains(QStringLiteral("x=-102 y=66 ")), qPrintable(during));
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(237, 341));
    QCOMPARE(t.view->positionText(), during);

    t.paint();
    const QRect box = t.engine->CurrentScreenBox();
    const QPoint handle(box.x(), box.center().y());
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle);
    QCOMPARE(t.view->dragHandle(), GrabHandle::Left);
    moveMouse(t.view.get(), handle + QPoint(400, 0), Qt::LeftButton);
    const QString stretching = t.view->positionText();
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle + QPoint(400, 0));
    QCOMPARE(t.view->positionText(), stretching);
    QCOMPARE(t.engine->picture(0).width, 10); // a shrinking drag keeps ten units
}

void ViewLiveDragTest::dragFramesBlitTheKeptCanvas()
{
    ViewUnderTest t;
    placeSolidPicture(t, 1.0f);
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    moveMouse(t.view.get(), QPoint(60, 55), Qt::MiddleButton);
    t.paint();
    // The canvas is composed once without the picture; the frames after it
    // blit that canvas and draw the picture over it.
    const int renders = t.view->canvasRenders();
    for (int i = 1; i <= 10; ++i) {
        moveMouse(t.view.get(), QPoint(60 + 9 * i, 55 + 4 * i), Qt::MiddleButton);
        t.paint();
    }
    QCOMPARE(t.view->canvasRenders(), renders);
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(150, 95));
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(100, 45));
}

void ViewLiveDragTest::trimmedPictureMovesTrimmed()
{
    // With a trim line set, the dragged picture shows the part that stays,
    // as it does when it lies still.
    ViewUnderTest t;
    placeSolidPicture(t, 1.0f);
    t.view->commands().trigger(CommandId::TrimLineUp);
    QTest::mouseClick(t.view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    t.paint();
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    moveMouse(t.view.get(), QPoint(350, 50), Qt::MiddleButton);
    const QImage during = t.paint();
    QCOMPARE(during.pixelColor(400, 50), QColor(Qt::black));
    QCOMPARE(during.pixelColor(400, 110), PictureColour);
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(350, 50));
    const QImage after = t.paint();
    QCOMPARE(after.pixelColor(400, 50), QColor(Qt::black));
    QCOMPARE(after.pixelColor(400, 110), PictureColour);
}

void ViewLiveDragTest::rightButtonAndEscapeCancelDrag()
{
    ViewUnderTest t;
    placeSolidPicture(t, 1.0f);
    const QRect box = t.engine->CurrentScreenBox();
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    moveMouse(t.view.get(), QPoint(300, 300), Qt::MiddleButton);
    QTest::mousePress(t.view.get(), Qt::RightButton, Qt::NoModifier, QPoint(300, 300));
    QVERIFY(!t.view->dragPreviewShown());
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
    QCOMPARE(QPoint(t.engine->picture(0).x, t.engine->picture(0).y), QPoint(0, 0));
    QCOMPARE(t.paint().pixelColor(box.center()), PictureColour);

    const QPoint handle(box.x() + box.width(), box.center().y());
    QTest::mousePress(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle);
    moveMouse(t.view.get(), handle + QPoint(80, 0), Qt::LeftButton);
    QVERIFY(t.view->dragPreviewShown());
    QTest::keyClick(t.view.get(), Qt::Key_Escape);
    QVERIFY(!t.view->dragPreviewShown());
    QVERIFY(!t.view->handleBandVisible());
    moveMouse(t.view.get(), handle + QPoint(120, 0), Qt::LeftButton);
    QTest::mouseRelease(t.view.get(), Qt::LeftButton, Qt::NoModifier, handle + QPoint(120, 0));
    QCOMPARE(t.engine->picture(0).width, 200);
    QVERIFY(!t.view->dragPreviewShown());
}

void ViewLiveDragTest::wholeDrawingFollowsMouse()
{
    ViewUnderTest t;
    placeSolidPicture(t, 1.0f);
    t.view->commands().trigger(CommandId::WholeDrawing);
    QVERIFY(t.view->wholeDrawing());
    QTest::mousePress(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(50, 50));
    moveMouse(t.view.get(), QPoint(350, 250), Qt::MiddleButton);
    const QImage shown = t.paint();
    QCOMPARE(shown.pixelColor(QPoint(20 + 300 + 100, 30 + 200 + 50)), PictureColour);
    QCOMPARE(shown.pixelColor(QPoint(30, 40)), QColor(Qt::black));
    QCOMPARE(t.engine->canvasOrigin(), QPoint(20, 30));
    QTest::mouseRelease(t.view.get(), Qt::MiddleButton, Qt::NoModifier, QPoint(350, 250));
    QCOMPARE(t.engine->canvasOrigin(), QPoint(320, 230));
}

QTEST_MAIN(ViewLiveDragTest)
#include "ViewLiveDragTest.moc"
