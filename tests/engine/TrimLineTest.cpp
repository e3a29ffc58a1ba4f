#include "TrimLine.h"

#include <gtest/gtest.h>

TEST(TrimLineTest, StaysOnItsViewPixelAtTheZoomItWasSetAt)
{
    TrimLine line;
    EXPECT_FALSE(line.active());
    for (float zoom : { 1.0f, 0.5f, 0.25f, 2.0f }) {
        line.set(QPoint(120, 90), TrimMode::FromBelow, zoom, QPoint(20, 10));
        EXPECT_EQ(line.screenPoint(zoom, QPoint(20, 10)), QPoint(120, 90)) << zoom;
    }
    EXPECT_EQ(line.stored(), QPoint(50, 40)); // canvas units: (view - origin) / zoom, at zoom 2
    EXPECT_TRUE(line.active());
    EXPECT_TRUE(line.horizontal());
    line.clear();
    EXPECT_EQ(line.mode(), TrimMode::None);
}

TEST(TrimLineTest, StaysOnItsDrawingPointWhenTheZoomChanges)
{
    TrimLine line;
    // Up to 1:1 the line shows on the very pixel it was set on; above it on
    // the first pixel of the canvas unit that pixel shows ...
    for (float zoom : { 1.0f, 0.62f, 0.4665f, 0.751f, 2.5f }) {
        for (int x = -7; x < 400; x += 13) {
            line.set(QPoint(x, 90), TrimMode::FromRight, zoom, QPoint(20, 10));
            const int shown = line.screenPoint(zoom, QPoint(20, 10)).x();
            ASSERT_LE(shown, x) << zoom << " " << x;
            ASSERT_LT(x - shown, zoom <= 1.0f ? 1.0f : zoom) << zoom << " " << x;
        }
    }
    // ... and on the same canvas unit at another zoom and origin.
    line.set(QPoint(330, 90), TrimMode::FromRight, 0.62f, QPoint(20, 10));
    const int unit = line.stored().x();
    EXPECT_NEAR(unit, (330 - 20) / 0.62, 1.0);
    for (float zoom : { 1.0f, 0.4665f, 2.5f }) {
        const QPoint shown = line.screenPoint(zoom, QPoint(-40, 5));
        EXPECT_EQ(shown.x(), int(float(unit) * zoom) - 40) << zoom;
        EXPECT_EQ(line.stored().x(), unit);
    }
}

TEST(TrimLineTest, KeepsTheFarSideWithTheLineIncluded)
{
    TrimLine line;
    const QRect box(10, 20, 100, 80); // right 109, bottom 99
    const QPoint at(30, 50);
    const std::pair<TrimMode, QRect> cases[] = {
        { TrimMode::FromBelow, QRect(QPoint(10, 50), QPoint(109, 99)) },
        { TrimMode::FromAbove, QRect(QPoint(10, 20), QPoint(109, 50)) },
        { TrimMode::FromRight, QRect(QPoint(30, 20), QPoint(109, 99)) },
        { TrimMode::FromLeft, QRect(QPoint(10, 20), QPoint(30, 99)) },
    };
    for (const auto& [mode, kept] : cases) {
        line.set(at, mode, 1.0f, QPoint());
        EXPECT_EQ(line.keptPart(box, at), kept) << codeValue(mode);
        EXPECT_FALSE(line.horizontal() !=
                     (mode == TrimMode::FromBelow || mode == TrimMode::FromAbove));
    }
    // A line beyond the box keeps nothing, one before it everything.
    line.set(at, TrimMode::FromBelow, 1.0f, QPoint());
    EXPECT_TRUE(line.keptPart(box, QPoint(0, 200)).isNull());
    EXPECT_EQ(line.keptPart(box, QPoint(0, 0)), box);
}

TEST(TrimLineTest, APaintStartsFromNothingCutAndNothingShown)
{
    TrimLine line;
    const QRect box(0, 0, 50, 50);
    line.noteKept(box, QRect(0, 10, 50, 40));
    line.noteShown(QPoint(3, 10));
    EXPECT_TRUE(line.cut());
    EXPECT_TRUE(line.shown());
    EXPECT_EQ(line.shownAt(), QPoint(3, 10));
    line.beginPaint();
    EXPECT_FALSE(line.cut());
    EXPECT_FALSE(line.shown());
    EXPECT_TRUE(line.kept().isNull());
    line.noteKept(box, box);
    EXPECT_FALSE(line.cut()); // kept whole: nothing to trim
}
