#include "GifWriter.h"
#include "ColorQuantizer.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

QByteArray gifOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(succeeded(GifWriter::write(image, &buffer), &error)) << error.toStdString();
    EXPECT_TRUE(error.isEmpty());
    return bytes;
}

QImage decoded(const QByteArray& gif)
{
    QBuffer buffer;
    buffer.setData(gif);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage image;
    EXPECT_TRUE(reader.read(&image)) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// What a GIF can show of a pixel: fully transparent, or its colour opaque.
QRgb shownAs(QRgb pixel)
{
    return qAlpha(pixel) < 128 ? 0u : (pixel | 0xFF000000u);
}

struct Errors
{
    int worst = 0;
    double mean = 0;
};

// Channel errors between what the picture should show and the decoded GIF.
// Transparent pixels must come back transparent, whatever their colour.
Errors compare(const QImage& original, const QImage& back)
{
    EXPECT_EQ(original.size(), back.size());
    const QImage argb = original.convertToFormat(QImage::Format_ARGB32);
    Errors errors;
    qint64 total = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(back.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb want = shownAs(p[x]);
            if (qAlpha(want) == 0) {
                EXPECT_EQ(qAlpha(q[x]), 0) << x << "," << y;
                continue;
            }
            EXPECT_EQ(qAlpha(q[x]), 255) << x << "," << y;
            const int e =
                std::max({ std::abs(qRed(want) - qRed(q[x])), std::abs(qGreen(want) - qGreen(q[x])),
                           std::abs(qBlue(want) - qBlue(q[x])) });
            errors.worst = std::max(errors.worst, e);
            total += e;
        }
    }
    errors.mean = double(total) / double(qint64(argb.width()) * argb.height());
    return errors;
}

// 4 x 4 blocks, one colour each, `colours` colours in all.
QImage blocks(int colours)
{
    QImage image(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 64; ++x) {
            const int n = ((y / 4) * 16 + x / 4) % colours;
            line[x] = qRgb(n, 255 - n, (n * 37) % 256);
        }
    }
    return image;
}

// Clears the alpha of the left `width` columns (some fully, some half way).
QImage withHole(const QImage& image, int width)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = (line[x] & 0x00FFFFFFu) | (QRgb(y % 2 ? 0 : 127) << 24);
        line[width] = (line[width] & 0x00FFFFFFu) | (QRgb(128) << 24);
    }
    return out;
}

TEST(GifWriter, PicturesOfFewColoursKeepThemExactly)
{
    for (int colours : { 1, 2, 3, 200, 256 }) {
        const QImage picture = blocks(colours);
        const Errors errors = compare(picture, decoded(gifOf(picture)));
        EXPECT_EQ(errors.worst, 0) << colours << " colours";
    }
    const QImage holed = withHole(blocks(255), 10);
    EXPECT_EQ(compare(holed, decoded(gifOf(holed))).worst, 0);
}

TEST(GifWriter, ManyColoursAreReducedToNearbyOnes)
{
    const QImage gradient = TestPictures::coordinatePicture(256, 256);
    // 256 entries over a 256 x 256 plane of colours cannot do much better
    // than 16 x 16 squares: a mean error near 5.3.
    const Errors plain = compare(gradient, decoded(gifOf(gradient)));
    EXPECT_LE(plain.worst, 16);
    EXPECT_LE(plain.mean, 6.0);

    // With a transparent area the palette has one entry less.
    const QImage holed = withHole(gradient, 30);
    const Errors holes = compare(holed, decoded(gifOf(holed)));
    EXPECT_LE(holes.worst, 16);
    EXPECT_LE(holes.mean, 6.0);

    // 256 opaque colours plus transparency no longer fit exactly.
    const QImage full = withHole(blocks(256), 4);
    EXPECT_LE(compare(full, decoded(gifOf(full))).worst, 8);
}

TEST(GifWriter, FailuresGiveAReason)
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QString error;
    EXPECT_FALSE(succeeded(GifWriter::write(blocks(4), &readOnly), &error));
    EXPECT_FALSE(error.isEmpty());

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    error.clear();
    EXPECT_FALSE(succeeded(GifWriter::write(QImage(), &buffer), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ColorQuantizer, StaysWithinTheColourBudget)
{
    const QImage gradient = TestPictures::coordinatePicture(256, 256);
    for (int budget : { 2, 16, 256 }) {
        const QImage indexed = ColorQuantizer::quantize(gradient, budget);
        ASSERT_EQ(indexed.format(), QImage::Format_Indexed8);
        ASSERT_LE(indexed.colorCount(), budget);
        ASSERT_GE(indexed.colorCount(), std::min(budget, 2));
        for (int y = 0; y < indexed.height(); ++y) {
            const uchar* line = indexed.constScanLine(y);
            ASSERT_TRUE(std::all_of(line, line + indexed.width(),
                                    [&](uchar i) { return i < indexed.colorCount(); }));
        }
    }
}

TEST(ColorQuantizer, ExactIndexingKeepsEveryArgbValueOrGivesUp)
{
    EXPECT_TRUE(ColorQuantizer::exactIndexed(blocks(256)).colorCount() == 256);
    EXPECT_TRUE(ColorQuantizer::exactIndexed(withHole(blocks(256), 4)).isNull());

    const QImage holed = withHole(blocks(100), 8);
    const QImage indexed = ColorQuantizer::exactIndexed(holed);
    ASSERT_FALSE(indexed.isNull());
    EXPECT_EQ(indexed.convertToFormat(QImage::Format_ARGB32), holed);
}

} // namespace

TEST(ColorQuantizer, WholePaletteGrowsOnlyForIndexesPastTheTable)
{
    // Table sizes on both sides of 128, widths with and without a tail that
    // is not a multiple of eight, the stray index in the body and in the tail.
    for (int entries : { 1, 2, 127, 128, 129, 200, 255 }) {
        for (int width : { 5, 13, 64 }) {
            QImage indexed(width, 3, QImage::Format_Indexed8);
            QList<QRgb> table;
            for (int i = 0; i < entries; ++i)
                table.append(qRgb(i, 255 - i, 7));
            indexed.setColorTable(table);
            indexed.fill(uint(entries - 1));
            EXPECT_EQ(ColorQuantizer::withWholePalette(indexed).colorCount(), entries);
            for (int x : { 0, width - 1 }) {
                QImage stray = indexed.copy();
                stray.scanLine(1)[x] = uchar(entries);
                const QImage whole = ColorQuantizer::withWholePalette(stray);
                ASSERT_EQ(whole.colorCount(), entries + 1) << entries << " " << width << " " << x;
                EXPECT_EQ(whole.color(entries), qRgb(0, 0, 0)); // as Qt shows it
                EXPECT_EQ(whole.color(0), table.first());
            }
        }
    }
    // A table with transparency shows missing entries transparent.
    QImage clear(4, 1, QImage::Format_Indexed8);
    clear.setColorTable({ qRgba(10, 20, 30, 128) });
    clear.fill(0);
    clear.scanLine(0)[3] = 9;
    const QImage whole = ColorQuantizer::withWholePalette(clear);
    ASSERT_EQ(whole.colorCount(), 10);
    EXPECT_EQ(whole.color(9), qRgba(0, 0, 0, 0));
    // Pictures without a table are left as they are.
    const QImage rgb(3, 3, QImage::Format_RGB32);
    EXPECT_EQ(ColorQuantizer::withWholePalette(rgb).cacheKey(), rgb.cacheKey());
}
