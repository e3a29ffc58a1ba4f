#include "Canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

Canvas withPictures(int count)
{
    Canvas canvas;
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(canvas.add(QStringLiteral("p%1.png").arg(i)));
    return canvas;
}

} // namespace

TEST(CanvasTest, HoldsAtMostSixtyPicturesAndTheNewestIsCurrent)
{
    Canvas canvas = withPictures(Canvas::MaxPictures);
    EXPECT_EQ(canvas.currentIndex(), Canvas::MaxPictures - 1);
    EXPECT_FALSE(canvas.add(QStringLiteral("one-too-many.png")));
    EXPECT_EQ(canvas.count(), Canvas::MaxPictures);
    EXPECT_EQ(canvas.indexOfFile(QStringLiteral("p7.png")), 7);
    EXPECT_EQ(canvas.indexOfFile(QStringLiteral("one-too-many.png")), -1);
    canvas.setHotTransparent(true);
    canvas.clear();
    EXPECT_TRUE(canvas.isEmpty());
    EXPECT_FALSE(canvas.hasCurrent());
    EXPECT_FALSE(canvas.hotTransparent());
    EXPECT_EQ(canvas.current(), nullptr);
}

TEST(CanvasTest, DeletingKeepsACurrentPictureWhileAnyIsLeft)
{
    Canvas canvas = withPictures(3);
    ASSERT_TRUE(canvas.reorder(LayerCode::Delete)); // the top one
    EXPECT_EQ(canvas.currentIndex(), 1);
    canvas.modify(ModifyCode::NextPicture); // wraps to the bottom
    EXPECT_EQ(canvas.currentIndex(), 0);
    ASSERT_TRUE(canvas.reorder(LayerCode::Delete));
    EXPECT_EQ(canvas.currentIndex(), 0);
    EXPECT_EQ(canvas.at(0).file, QStringLiteral("p1.png"));
    ASSERT_TRUE(canvas.reorder(LayerCode::Delete));
    EXPECT_TRUE(canvas.isEmpty());
    EXPECT_FALSE(canvas.reorder(LayerCode::Delete));
    canvas.modify(ModifyCode::NudgeUp); // nothing to move
    EXPECT_TRUE(canvas.isEmpty());
}

TEST(CanvasTest, MovesThePictureOrTheWholeDrawing)
{
    Canvas canvas = withPictures(2);
    canvas.move(5, -3, false);
    EXPECT_EQ(QPoint(canvas.at(1).x, canvas.at(1).y), QPoint(5, -3));
    EXPECT_EQ(canvas.origin(), QPoint());
    canvas.move(7, 9, true);
    EXPECT_EQ(canvas.origin(), QPoint(7, 9));
    EXPECT_EQ(QPoint(canvas.at(1).x, canvas.at(1).y), QPoint(5, -3));
}

TEST(CanvasTest, ScreenBoxesCutTowardZeroAndZoomStepsFitTheDrawnBounds)
{
    Canvas canvas = withPictures(1);
    JoinPicture& picture = canvas.at(0);
    picture.x = -3;
    picture.y = 7;
    picture.width = 101;
    picture.height = 51;
    canvas.setMapping(0.5f, QPoint(10, 20));
    // -1.5 cuts to -1, 3.5 to 3, 50.5 to 50, 25.5 to 25.
    EXPECT_EQ(canvas.screenBox(picture), QRect(9, 23, 50, 25));

    canvas.setClientRect(QRect(0, 0, 400, 300));
    canvas.zoomStep(ZoomCode::Fit, QRect(0, 0, 800, 300)); // width decides
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.5f);
    EXPECT_EQ(canvas.origin(), QPoint());
    canvas.zoomStep(ZoomCode::Fit, QRect(0, 0, 100, 600)); // height decides
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.5f);
    canvas.zoomStep(ZoomCode::Fit, QRect()); // nothing drawn: 1:1
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
    canvas.zoomStep(ZoomCode::In, QRect());
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.1f);
    canvas.zoomStep(ZoomCode::Out, QRect());
    EXPECT_NEAR(canvas.zoom(), 1.0f, 1e-6);
    canvas.move(4, 4, true);
    canvas.zoomStep(ZoomCode::OneToOne, QRect());
    EXPECT_EQ(canvas.origin(), QPoint());
}

TEST(CanvasTest, MovesAndScreenBoxesStayInsideTheIntRange)
{
    Canvas canvas = withPictures(1);
    JoinPicture& picture = canvas.at(0);
    picture.x = INT_MAX - 50;
    picture.width = 40;
    picture.height = 40;
    // A move stops where the right edge meets the end of the range ...
    canvas.move(1000, 0, false);
    EXPECT_EQ(picture.x, INT_MAX - 40);
    canvas.modify(ModifyCode::NudgeRight);
    EXPECT_EQ(picture.x, INT_MAX - 40);
    canvas.move(INT_MIN, INT_MIN, false);
    canvas.move(INT_MIN, -10, false);
    EXPECT_EQ(QPoint(picture.x, picture.y), QPoint(INT_MIN, INT_MIN));
    canvas.modify(ModifyCode::NudgeUp);
    EXPECT_EQ(picture.y, INT_MIN);
    // ... and so does the drawing's origin.
    canvas.move(INT_MAX, INT_MIN, true);
    canvas.move(INT_MAX, INT_MIN, true);
    EXPECT_EQ(canvas.origin(), QPoint(INT_MAX, INT_MIN));

    // A box beyond the range is cut at its end, never wrapped to the far side.
    picture.x = INT_MAX - 40;
    picture.y = 0;
    canvas.setMapping(1.0f, QPoint(100, 0));
    QRect box = canvas.screenBox(picture);
    EXPECT_EQ(box.left(), INT_MAX);
    EXPECT_TRUE(box.isEmpty());
    canvas.setMapping(1e30f, QPoint());
    box = canvas.screenBox(picture);
    EXPECT_EQ(box.left(), INT_MAX);
    EXPECT_GE(qint64(box.right()), qint64(box.left()) - 1);
    picture.x = -5;
    canvas.setMapping(1e30f, QPoint());
    EXPECT_EQ(canvas.screenBox(picture).left(), INT_MIN);
}

TEST(CanvasTest, ZoomAtKeepsTheDrawingPointUnderTheViewPoint)
{
    Canvas canvas;
    canvas.setMapping(0.62f, QPoint(-37, 15));
    const QPoint at(412, 287);
    const QPoint before = canvas.canvasPoint(at);
    for (ZoomCode code :
         { ZoomCode::In, ZoomCode::In, ZoomCode::Out, ZoomCode::OneToOne, ZoomCode::Out }) {
        canvas.zoomAt(code, at, QRect());
        const QPoint after = canvas.canvasPoint(at);
        // Within the canvas units one view pixel spans.
        const int slack = int(1.0f / canvas.zoom()) + 1;
        EXPECT_LE(qAbs(after.x() - before.x()), slack) << codeValue(code);
        EXPECT_LE(qAbs(after.y() - before.y()), slack) << codeValue(code);
    }
    EXPECT_FLOAT_EQ(canvas.zoom(), float(1.0 * 0.9090909090909091));

    // 1:1 about a point: the origin moves by the point's canvas offset.
    canvas.setMapping(0.5f, QPoint(10, 20));
    canvas.zoomAt(ZoomCode::OneToOne, QPoint(210, 120), QRect());
    EXPECT_FLOAT_EQ(canvas.zoom(), 1.0f);
    EXPECT_EQ(canvas.origin(), QPoint(210 - 400, 120 - 200));

    // Fit ignores the point.
    canvas.setClientRect(QRect(0, 0, 400, 300));
    canvas.zoomAt(ZoomCode::Fit, QPoint(50, 50), QRect(0, 0, 800, 300));
    EXPECT_FLOAT_EQ(canvas.zoom(), 0.5f);
    EXPECT_EQ(canvas.origin(), QPoint());
}

TEST(CanvasTest, ViewDistancesBecomeCanvasUnitsToTheNearestUnit)
{
    Canvas canvas;
    const std::tuple<float, int, qint64> cases[] = {
        { 1.0f, 17, 17 },  { 0.751f, 1200, 1598 }, { 0.4665f, 106, 227 },
        { 0.62f, -5, -8 }, { 2.5f, 7, 3 },         { 2.5f, -8, -3 },
    };
    for (const auto& [zoom, view, units] : cases) {
        canvas.setMapping(zoom, QPoint(3, 4));
        EXPECT_EQ(canvas.canvasDistance(view), units) << zoom << " " << view;
    }
    canvas.setMapping(0.5f, QPoint(10, 20));
    EXPECT_EQ(canvas.canvasPoint(QPoint(61, 20)), QPoint(102, 0));
}
