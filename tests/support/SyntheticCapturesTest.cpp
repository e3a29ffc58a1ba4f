#include "SyntheticCaptures.h"

#include <QElapsedTimer>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using SyntheticCaptures::NotInDrawing;

const SyntheticCaptures::Options Small{ .drawingSize = { 1600, 1000 },
                                        .captureSize = { 640, 400 },
                                        .count = 8,
                                        .isolated = 2,
                                        .cursorInOverlap = true,
                                        .seed = 7 };

// The rows of a capture below the drawing area hold the status bar, whose
// text changes; everything else around the area is the same everywhere.
bool sameChrome(const QImage& a, const QImage& b, const QRect& area, int statusTop)
{
    for (int y = 0; y < statusTop; ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!area.contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

double overlapShare(QPoint a, QPoint b, QSize size)
{
    const QRect common = QRect(a, size) & QRect(b, size);
    return common.isEmpty()
               ? 0.0
               : double(common.width()) * common.height() / (size.width() * size.height());
}

} // namespace

TEST(SyntheticCapturesTest, CapturesShowTheDrawingAtTheirPlacesInTheSameProgram)
{
    QElapsedTimer clock;
    clock.start();
    const SyntheticCaptures::Set set = SyntheticCaptures::make(Small);
    EXPECT_LT(clock.elapsed(), 2000); // quick enough for many tests
    ASSERT_EQ(set.captures.size(), 10);
    ASSERT_EQ(set.positions.size(), 10);
    ASSERT_EQ(set.cursorBoxes.size(), 10);
    EXPECT_EQ(set.area, SyntheticCaptures::defaultArea(Small.captureSize));
    const int statusTop = qRound(1052 * 400 / 1080.0);
    const QRect areaBox(QPoint(0, 0), set.area.size());
    int cursors = 0, isolated = 0;
    QSet<QString> statusRows;
    for (int i = 0; i < set.captures.size(); ++i) {
        const QImage& capture = set.captures.at(i);
        ASSERT_EQ(capture.size(), Small.captureSize);
        ASSERT_EQ(capture.format(), QImage::Format_RGB32);
        EXPECT_TRUE(sameChrome(capture, set.captures.first(), set.area, statusTop)) << i;
        statusRows << QString::fromLatin1(
            QByteArray::fromRawData(
                reinterpret_cast<const char*>(capture.constScanLine(statusTop + 4)),
                capture.bytesPerLine())
                .toBase64());
        const QPoint at = set.positions.at(i);
        if (at == NotInDrawing) {
            ++isolated;
            continue;
        }
        ASSERT_TRUE(QRect(QPoint(0, 0), Small.drawingSize).contains(QRect(at, set.area.size())));
        // Pixel for pixel the drawing, but where the cursor was drawn.
        const QImage shown = capture.copy(set.area);
        const QImage expected = set.drawing.copy(QRect(at, set.area.size()));
        const QRect cursor = set.cursorBoxes.at(i).translated(-set.area.topLeft());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) != expected.pixel(x, y)) {
                    ++differing;
                    EXPECT_TRUE(cursor.contains(x, y)) << i << " at " << x << "," << y;
                }
        if (!cursor.isEmpty()) {
            ++cursors;
            EXPECT_GT(differing, 100);
            // The cursor hides part of what a neighbour shows too.
            bool inOverlap = false;
            for (int j = 0; j < set.captures.size(); ++j)
                inOverlap =
                    inOverlap ||
                    (j != i && set.positions.at(j) != NotInDrawing &&
                     QRect(set.positions.at(j), set.area.size()).contains(cursor.translated(at)));
            EXPECT_TRUE(inOverlap);
        }
    }
    EXPECT_EQ(cursors, 1);
    EXPECT_EQ(isolated, 2);
    EXPECT_EQ(statusRows.size(), set.captures.size()); // the coordinates differ
}

TEST(SyntheticCapturesTest, NeighboursOverlapWithinBoundsAndIsolatedOnesNothing)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make(Small);
    const QSize size = set.area.size();
    for (int i = 0; i < set.positions.size(); ++i) {
        double most = 0.0;
        for (int j = 0; j < set.positions.size(); ++j)
            if (j != i && set.positions.at(i) != NotInDrawing &&
                set.positions.at(j) != NotInDrawing)
                most = qMax(most, overlapShare(set.positions.at(i), set.positions.at(j), size));
        if (set.positions.at(i) == NotInDrawing)
            EXPECT_EQ(most, 0.0);
        else
            EXPECT_GE(most, Small.minOverlap - 0.01) << i;
    }
    // Isolated captures share no pixel rows of drawing with each other.
    QList<QImage> isolated;
    for (int i = 0; i < set.positions.size(); ++i)
        if (set.positions.at(i) == NotInDrawing)
            isolated << set.captures.at(i).copy(set.area);
    ASSERT_EQ(isolated.size(), 2);
    EXPECT_NE(isolated.at(0), isolated.at(1));
}

TEST(SyntheticCapturesTest, TheSeedDecidesEverything)
{
    const SyntheticCaptures::Set a = SyntheticCaptures::make(Small);
    const SyntheticCaptures::Set b = SyntheticCaptures::make(Small);
    EXPECT_EQ(a.positions, b.positions);
    EXPECT_EQ(a.captures, b.captures);
    SyntheticCaptures::Options other = Small;
    other.seed = 8;
    const SyntheticCaptures::Set c = SyntheticCaptures::make(other);
    EXPECT_NE(a.positions, c.positions);
    EXPECT_NE(a.drawing, c.drawing);
}

TEST(SyntheticCapturesTest, TheDefaultSetCoversTheDrawingWithAntiAliasedDetail)
{
    const SyntheticCaptures::Set set = SyntheticCaptures::make({});
    ASSERT_EQ(set.captures.size(), 45);
    EXPECT_EQ(set.area, QRect(96, 90, 1824, 900));
    const QSize size = set.area.size();
    // Coverage counted on a coarse grid of the drawing.
    constexpr int Cell = 50;
    QSet<int> covered;
    for (const QPoint& at : set.positions)
        for (int y = at.y() / Cell; y < (at.y() + size.height()) / Cell; ++y)
            for (int x = at.x() / Cell; x < (at.x() + size.width()) / Cell; ++x)
                covered << y * 1000 + x;
    EXPECT_GT(covered.size(), 0.85 * (8000 / Cell) * (5000 / Cell));
    for (int i = 0; i < set.positions.size(); ++i) {
        double most = 0.0;
        for (int j = 0; j < set.positions.size(); ++j)
            if (j != i)
                most = qMax(most, overlapShare(set.positions.at(i), set.positions.at(j), size));
        EXPECT_GE(most, 0.15 - 0.01) << i;
    }
    // Anti-aliased lines and text: many colours, not a few flat ones.
    QSet<QRgb> colours;
    const QImage window = set.drawing.copy(2000, 1500, 1000, 1000);
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            colours << window.pixel(x, y);
    EXPECT_GT(colours.size(), 300);
}
