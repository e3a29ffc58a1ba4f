#include "Canvas.h"
#include "OutputPicture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

// Where a canvas point shows with the canvas's mapping, before the cut to
// whole pixels.
QPointF shownAt(const Canvas& canvas, const QPointF& point)
{
    return point * double(canvas.zoom()) + QPointF(canvas.origin());
}

} // namespace

TEST(ViewportTest, ZoomingAboutAPointKeepsItInPlace)
{
    for (const float zoom : { 1.0f, 0.62f, 2.5f }) {
        for (const double factor : { 1.1, 1.0 / 1.1, 1.331, 0.5 }) {
            Canvas canvas;
            canvas.setMapping(zoom, QPoint(-37, 91));
            const QPoint at(613, 377);
            const QPointF under = canvas.canvasPoint(QPointF(at));
            ASSERT_TRUE(canvas.zoomAbout(factor, at));
            EXPECT_FLOAT_EQ(canvas.zoom(), float(double(zoom) * factor));
            const QPointF shown = shownAt(canvas, under);
            EXPECT_LE(std::abs(shown.x() - at.x()), 0.5) << zoom << ' ' << factor;
            EXPECT_LE(std::abs(shown.y() - at.y()), 0.5) << zoom << ' ' << factor;
        }
    }
}

TEST(ViewportTest, ZoomStopsAtItsLimitsAndRefusesNonsense)
{
    Canvas canvas;
    canvas.setMapping(60.0f, QPoint(5, 6));
    EXPECT_TRUE(canvas.zoomAbout(2.0, QPoint(10, 10)));
    EXPECT_FLOAT_EQ(canvas.zoom(), float(Canvas::MaxZoom));
    EXPECT_FALSE(canvas.zoomAbout(2.0, QPoint(10, 10))); // already there
    const QPoint origin = canvas.origin();
    for (const double bad : { 0.0, -1.1, std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity() }) {
        EXPECT_FALSE(canvas.zoomAbout(bad, QPoint(10, 10)));
        EXPECT_FLOAT_EQ(canvas.zoom(), float(Canvas::MaxZoom));
        EXPECT_EQ(canvas.origin(), origin);
    }
    canvas.setMapping(0.02f, QPoint());
    EXPECT_TRUE(canvas.zoomAbout(0.1, QPoint(10, 10)));
    EXPECT_FLOAT_EQ(canvas.zoom(), float(Canvas::MinZoom));
}

TEST(ViewportTest, ScrollingAndFarOriginsStayInsideTheIntRange)
{
    Canvas canvas;
    canvas.setMapping(1.0f, QPoint(INT_MAX - 10, INT_MIN + 10));
    canvas.scroll(100, -100);
    EXPECT_EQ(canvas.origin(), QPoint(INT_MAX, INT_MIN));
    // Zooming in about a point far from the origin cannot wrap it round.
    EXPECT_TRUE(canvas.zoomAbout(64.0, QPoint(-2000, 2000)));
    EXPECT_EQ(canvas.origin(), QPoint(INT_MAX, INT_MIN));
}

TEST(ViewportTest, OutputPictureZoomsAboutAPoint)
{
    OutputPicture output;
    output.open(QStringLiteral("a.png"));
    output.fitInto(QRect(0, 0, 800, 600), QSize(1920, 1080));
    const QPoint at(523, 211);
    const double before = output.zoom();
    const QPointF under = (QPointF(at) - QPointF(output.position())) / before;
    ASSERT_TRUE(output.zoomAbout(1.1, at, Canvas::MinZoom, Canvas::MaxZoom));
    const QPointF shown = under * double(output.zoom()) + QPointF(output.position());
    EXPECT_LE(std::abs(shown.x() - at.x()), 0.5);
    EXPECT_LE(std::abs(shown.y() - at.y()), 0.5);
    EXPECT_TRUE(output.fitted()); // the next paint does not fit it again
    EXPECT_FALSE(output.zoomAbout(0.0, at, Canvas::MinZoom, Canvas::MaxZoom));
}
