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
    EXPECT_EQ(line.stored(), QPoint(200, 160)); // (view - origin) x zoom, at zoom 2
    EXPECT_TRUE(line.active());
    EXPECT_TRUE(line.horizontal());
    line.clear();
    EXPECT_EQ(line.mode(), TrimMode::None);
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
