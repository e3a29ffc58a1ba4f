#include "PageLayout.h"
#include "TileLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr double Dpi = 600.0;
// 8 x 11 inches at 600 units to the inch.
const QSizeF Sheet(4800.0, 6600.0);
const double OverlapUnits = 10.0 / 25.4 * Dpi;

// Neighbouring sheets repeat exactly the overlap, and together the sheets
// cover the picture to its last pixel.
void expectSeamless(const TileLayout& layout, const QSize& picture)
{
    const double overlap = layout.overlapPixels();
    for (int sheet = 0; sheet < layout.count(); ++sheet) {
        const QRectF part = layout.source(sheet);
        const int column = layout.columnOf(sheet), row = layout.rowOf(sheet);
        if (column + 1 < layout.columns())
            EXPECT_NEAR(part.right() - layout.source(sheet + 1).left(), overlap, 1e-9) << sheet;
        else
            EXPECT_NEAR(part.right(), picture.width(), 1e-9) << sheet;
        if (row + 1 < layout.rows())
            EXPECT_NEAR(part.bottom() - layout.source(sheet + layout.columns()).top(), overlap,
                        1e-9)
                << sheet;
        else
            EXPECT_NEAR(part.bottom(), picture.height(), 1e-9) << sheet;
        // A sheet never shows more than its printable area holds.
        const QRectF onSheet = layout.target(sheet);
        EXPECT_LE(onSheet.width(), Sheet.width() + 1e-9);
        EXPECT_LE(onSheet.height(), Sheet.height() + 1e-9);
    }
}

} // namespace

TEST(PrintLayoutTest, MarginsAreASixteenthButAtLeast80)
{
    EXPECT_EQ(PageLayout::margins(QSize(4800, 6400)), QMargins(300, 400, 300, 400));
    EXPECT_EQ(PageLayout::margins(QSize(1000, 2000)), QMargins(80, 125, 80, 125));
}

TEST(PrintLayoutTest, FittedPictureKeepsItsShapeAndSitsWhereAsked)
{
    const QRect page(0, 0, 4800, 6400);
    // Space 4200 x 5600; a wide picture is limited by the width.
    EXPECT_EQ(PageLayout::fitted(page, QSize(1050, 500), PageLayout::Placement::TopLeft),
              QRect(300, 400, 4200, 2000));
    EXPECT_EQ(PageLayout::fitted(page, QSize(1050, 500), PageLayout::Placement::Centred),
              QRect(300, 400 + 1800, 4200, 2000));
    // A tall one by the height, centred across.
    EXPECT_EQ(PageLayout::fitted(page, QSize(100, 400), PageLayout::Placement::Centred),
              QRect(300 + 1400, 400, 1400, 5600));
    // Nothing to place, or no room between the margins.
    EXPECT_TRUE(PageLayout::fitted(page, QSize(), PageLayout::Placement::Centred).isEmpty());
    EXPECT_TRUE(
        PageLayout::fitted(QRect(0, 0, 150, 150), QSize(10, 10), PageLayout::Placement::TopLeft)
            .isEmpty());
}

TEST(PrintLayoutTest, ScaleSplitsAPictureThreeWideTwoHigh)
{
    // At 100 % a pixel is 600 / 96 = 6.25 units: 12500 x 9375 units.
    const QSize picture(2000, 1500);
    const TileLayout layout = TileLayout::byScale(picture, Sheet, Dpi, 100.0);
    ASSERT_TRUE(layout.valid());
    EXPECT_EQ(layout.columns(), 3);
    EXPECT_EQ(layout.rows(), 2);
    EXPECT_EQ(layout.count(), 6);
    EXPECT_DOUBLE_EQ(layout.unitsPerPixel(), 6.25);
    EXPECT_DOUBLE_EQ(layout.overlapPixels(), OverlapUnits / 6.25);
    // A full sheet: the whole printable area.
    EXPECT_EQ(layout.source(0), QRectF(0, 0, 768, 1056));
    EXPECT_EQ(layout.target(0), QRectF(0, 0, 4800, 6600));
    // The sheet below the middle one starts an overlap back in both directions.
    const QRectF middleBelow = layout.source(4);
    EXPECT_NEAR(middleBelow.left(), 768 - layout.overlapPixels(), 1e-9);
    EXPECT_NEAR(middleBelow.top(), 1056 - layout.overlapPixels(), 1e-9);
    expectSeamless(layout, picture);
    // Out of range: nothing.
    EXPECT_TRUE(layout.source(6).isEmpty());
    EXPECT_TRUE(layout.source(-1).isEmpty());
}

TEST(PrintLayoutTest, SheetsWideFillsExactlyThatManySheets)
{
    const QSize picture(1234, 2345);
    for (int wide = 1; wide <= 8; ++wide) {
        const TileLayout layout = TileLayout::bySheetsWide(picture, Sheet, Dpi, wide);
        ASSERT_TRUE(layout.valid()) << wide;
        EXPECT_EQ(layout.columns(), wide) << wide;
        // The last sheet's part is a whole sheet: the width is filled to its edge.
        EXPECT_NEAR(layout.target(wide - 1).width(), Sheet.width(), 1e-6) << wide;
        expectSeamless(layout, picture);
        // The same scale asked in percent gives the same sheets.
        const TileLayout again = TileLayout::byScale(picture, Sheet, Dpi, layout.scalePercent());
        EXPECT_EQ(again.columns(), layout.columns()) << wide;
        EXPECT_EQ(again.rows(), layout.rows()) << wide;
    }
    // Three wide, two high: the height follows from the scale.
    const TileLayout layout =
        TileLayout::bySheetsWide(QSize(3000, 2700), Sheet, Dpi, 3, TileLayout::DefaultOverlapMm);
    EXPECT_EQ(layout.columns(), 3);
    EXPECT_EQ(layout.rows(), 2);
    EXPECT_NEAR(layout.source(0).right() - layout.source(1).left(), layout.overlapPixels(), 1e-9);
    EXPECT_NEAR(layout.overlapPixels() * layout.unitsPerPixel(), OverlapUnits, 1e-9);
}

TEST(PrintLayoutTest, ChoicesThatGiveNoSensibleSheetsAreRefused)
{
    const QSize picture(2000, 1500);
    // A small picture at a small scale takes one sheet.
    const TileLayout one = TileLayout::byScale(picture, Sheet, Dpi, 25.0);
    EXPECT_TRUE(one.valid());
    EXPECT_EQ(one.count(), 1);
    // Too many sheets: refused, but it says why.
    const TileLayout huge = TileLayout::byScale(picture, Sheet, Dpi, TileLayout::MaxScalePercent);
    EXPECT_FALSE(huge.valid());
    EXPECT_TRUE(huge.tooManySheets());
    EXPECT_EQ(huge.count(), 0);
    // An overlap as large as the sheet would never move on.
    EXPECT_FALSE(TileLayout::byScale(picture, QSizeF(200, 6600), Dpi, 100.0, 25.4 / 3).valid());
    EXPECT_FALSE(TileLayout::byScale(QSize(), Sheet, Dpi, 100.0).valid());
    EXPECT_FALSE(TileLayout::byScale(picture, Sheet, 0.0, 100.0).valid());
    EXPECT_FALSE(TileLayout::byScale(picture, Sheet, Dpi, 0.0).valid());
    EXPECT_FALSE(TileLayout::bySheetsWide(picture, Sheet, Dpi, 0).valid());
    // One page is not a tiling.
    TileLayout::Choice choice;
    EXPECT_FALSE(TileLayout::forChoice(picture, Sheet, Dpi, choice).valid());
    choice.mode = TileLayout::Choice::Mode::SheetsWide;
    choice.sheetsWide = 3;
    EXPECT_EQ(TileLayout::forChoice(picture, Sheet, Dpi, choice).columns(), 3);
}
