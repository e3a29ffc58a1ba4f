#include "PaintRecord.h"

#include <gtest/gtest.h>

#include <climits>

TEST(PaintRecordTest, HandlesSitOnTheEdgeMiddlesAndTheirFarEdgesAreOutside)
{
    PaintRecord record;
    EXPECT_EQ(record.hitTest(0, 0), GrabHandle::None);
    record.setHandles(QRect(100, 50, 200, 100));
    EXPECT_EQ(record.handle(0), QRect(94, 94, 12, 12));
    EXPECT_EQ(record.hitTest(94, 94), GrabHandle::Left);
    EXPECT_EQ(record.hitTest(105, 105), GrabHandle::Left);
    EXPECT_EQ(record.hitTest(106, 100), GrabHandle::None); // right edge outside
    EXPECT_EQ(record.hitTest(300, 100), GrabHandle::Right);
    EXPECT_EQ(record.hitTest(200, 50), GrabHandle::Top);
    EXPECT_EQ(record.hitTest(200, 150), GrabHandle::Bottom);
    EXPECT_EQ(record.hitTest(200, 100), GrabHandle::None);

    // On a tiny box the squares overlap; the last one listed wins.
    record.setHandles(QRect(0, 0, 4, 4));
    EXPECT_EQ(record.hitTest(2, 2), GrabHandle::Bottom);
    record.reset();
    EXPECT_EQ(record.hitTest(2, 2), GrabHandle::None);
}

TEST(PaintRecordTest, DrawnBoundsGrowWithEveryBoxEvenAnEmptyOne)
{
    PaintRecord record;
    EXPECT_FALSE(record.drawnValid());
    record.addDrawn(QRect(10, 10, 20, 20));
    record.addDrawn(QRect(-5, 40, 0, 0)); // an empty box still widens
    EXPECT_TRUE(record.drawnValid());
    EXPECT_EQ(record.drawn(), QRect(-5, 10, 35, 30));
    record.reset();
    EXPECT_FALSE(record.drawnValid());
    record.addDrawn(QRect(1, 2, 3, 4));
    EXPECT_EQ(record.drawn(), QRect(1, 2, 3, 4)); // starts afresh
}

TEST(PaintRecordTest, BoundsAndHandlesAtTheEndsOfTheIntRangeDoNotWrap)
{
    PaintRecord record;
    record.addDrawn(QRect(-2000000000, 0, 10, 10));
    record.addDrawn(QRect(2000000000, 5, 10, 10));
    // The span is wider than a rectangle holds: it is cut, not turned negative.
    EXPECT_EQ(record.drawn().left(), -2000000000);
    EXPECT_EQ(record.drawn().width(), INT_MAX);
    EXPECT_EQ(record.drawn().height(), 15);

    record.setHandles(QRect(INT_MAX - 100, INT_MAX - 100, 100, 100));
    EXPECT_EQ(record.hitTest(INT_MAX - 100, INT_MAX - 50), GrabHandle::Left);
    EXPECT_EQ(record.handle(1).left(), INT_MAX - 6); // the right edge's square, cut
    EXPECT_GE(record.handle(1).width(), 0);
    EXPECT_EQ(record.hitTest(INT_MAX - 1, INT_MAX - 50), GrabHandle::Right);
    EXPECT_EQ(record.hitTest(INT_MAX - 50, INT_MAX - 1), GrabHandle::Bottom);
}
