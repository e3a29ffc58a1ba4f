#include "OutputPicture.h"

#include <gtest/gtest.h>

#include <climits>

TEST(OutputPictureTest, ResultsReplaceTheShownFileUntilRestored)
{
    OutputPicture output;
    output.open(QStringLiteral("a.png"));
    EXPECT_FALSE(output.fitted());
    output.setFile(QStringLiteral("tmp1.png"));
    EXPECT_EQ(output.file(), QStringLiteral("tmp1.png"));
    EXPECT_EQ(output.originalFile(), QStringLiteral("a.png"));
    // The next result never goes to the file shown now.
    EXPECT_EQ(output.otherName(QStringLiteral("tmp1.png"), QStringLiteral("tmp2.png")),
              QStringLiteral("tmp2.png"));
    EXPECT_EQ(output.otherName(QStringLiteral("tmp2.png"), QStringLiteral("tmp1.png")),
              QStringLiteral("tmp2.png"));
    output.restore();
    EXPECT_EQ(output.file(), QStringLiteral("a.png"));
}

TEST(OutputPictureTest, FitsOnceIntoAWideEnoughViewThenKeepsItsPlacement)
{
    OutputPicture output;
    output.open(QStringLiteral("a.png"));
    output.fitInto(QRect(0, 0, 300, 900), QSize(100, 100)); // too narrow: not yet
    EXPECT_FALSE(output.fitted());
    output.fitInto(QRect(5, 6, 400, 200), QSize(800, 200)); // width decides
    EXPECT_TRUE(output.fitted());
    EXPECT_FLOAT_EQ(output.zoom(), 0.5f);
    EXPECT_EQ(output.position(), QPoint(5, 6));
    EXPECT_EQ(output.screenBox(QSize(800, 200)), QRect(5, 6, 400, 100));

    output.move(10, -6);
    output.zoomStep(ZoomCode::In);
    output.fitInto(QRect(0, 0, 1000, 1000), QSize(800, 200)); // already fitted
    EXPECT_EQ(output.position(), QPoint(15, 0));
    EXPECT_FLOAT_EQ(output.zoom(), 0.55f);
    output.zoomStep(ZoomCode::OneToOne); // keeps the position
    EXPECT_FLOAT_EQ(output.zoom(), 1.0f);
    EXPECT_EQ(output.position(), QPoint(15, 0));
    output.zoomStep(ZoomCode::Fit); // fitted again at the next paint
    EXPECT_FALSE(output.fitted());
    output.resetPlacement();
    EXPECT_EQ(output.position(), QPoint());
}

TEST(OutputPictureTest, MovesAndTheScreenBoxStayInsideTheIntRange)
{
    OutputPicture output;
    output.move(INT_MAX, INT_MIN);
    output.move(INT_MAX, INT_MIN);
    EXPECT_EQ(output.position(), QPoint(INT_MAX, INT_MIN));
    output.move(-10, 10);
    EXPECT_EQ(output.position(), QPoint(INT_MAX - 10, INT_MIN + 10));
    const QRect box = output.screenBox(QSize(100, 100));
    EXPECT_EQ(box.left(), INT_MAX - 10);
    EXPECT_EQ(box.width(), 10); // cut where the range ends
    EXPECT_EQ(box.height(), 100);
}
