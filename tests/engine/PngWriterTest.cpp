#include "PngWriter.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QImage roundTrip(const QImage& image, int level = 6)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(succeeded(PngWriter::write(image, &buffer, level), &error)) << error.toStdString();
    buffer.close();
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage decoded;
    EXPECT_TRUE(reader.read(&decoded)) << reader.errorString().toStdString();
    return decoded;
}

// Every pixel as non-premultiplied ARGB, so pictures of different formats compare.
void expectSamePixels(const QImage& expected, const QImage& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    const QImage a = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage b = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto* lineA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lineB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(lineA[x], lineB[x]) << x << "," << y;
    }
}

// A picture with noise, so every filter and band boundary gets exercised.
QImage noisyPicture(int width, int height, bool alpha)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = int(state >> 28);
            line[x] = qRgba((x * 3 + noise) & 255, (y * 5) & 255, (x ^ y) & 255,
                            alpha ? int((state >> 20) & 255) : 255);
        }
    }
    return image;
}

} // namespace

TEST(PngWriterTest, OpaqueAndTransparentPicturesSurviveInEveryBandAndLevel)
{
    for (int level : { 1, 6, 9 }) {
        const QImage rgb = noisyPicture(301, 517, false);
        expectSamePixels(rgb, roundTrip(rgb, level));
        const QImage rgba = noisyPicture(97, 260, true);
        expectSamePixels(rgba, roundTrip(rgba, level));
    }
}

TEST(PngWriterTest, PremultipliedPicturesAreWrittenStraight)
{
    QImage image(40, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgba(200, 100, 50, 255));
    for (int y = 0; y < 200; ++y)
        image.setPixel(y % 40, y, qPremultiply(qRgba(255, 0, 0, 128)));
    const QImage decoded = roundTrip(image);
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_ARGB32).pixel(3, 3),
              QImage(image).convertToFormat(QImage::Format_ARGB32).pixel(3, 3));
    EXPECT_EQ(qAlpha(decoded.pixel(3, 3)), 128);
    EXPECT_EQ(decoded.pixel(5, 3) | 0u, qRgb(200, 100, 50));

    // Opaque premultiplied pixels go out as RGB, without an alpha channel.
    QImage opaque(30, 20, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(qRgb(10, 20, 30));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(succeeded(PngWriter::write(opaque, &buffer, 6)));
    EXPECT_EQ(buffer.data().at(25), 2); // colour type: RGB
    EXPECT_EQ(roundTrip(opaque).pixel(29, 19), qRgb(10, 20, 30));
}

TEST(PngWriterTest, PaletteAndGreyPicturesKeepTheirTablesAndTransparency)
{
    QImage indexed(130, 300, QImage::Format_Indexed8);
    indexed.setColorTable({ qRgb(0, 0, 0), qRgb(255, 0, 0), qRgba(0, 255, 0, 0), qRgb(9, 9, 9) });
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.scanLine(y)[x] = uchar((x / 7 + y) % 4);
    expectSamePixels(indexed, roundTrip(indexed));

    QImage grey(50, 140, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar(x * 5 + y);
    expectSamePixels(grey, roundTrip(grey));

    const QImage odd = TestPictures::coordinatePicture(3, 1).convertToFormat(QImage::Format_RGB888);
    expectSamePixels(odd, roundTrip(odd));
}

TEST(PngWriterTest, ThePaletteCoversEveryIndexTheRowsUse)
{
    // Two colours in the table, yet pixels with indexes 2 and 200.
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({ qRgb(255, 0, 0), qRgb(0, 0, 255) });
    const uchar rows[2][3] = { { 0, 1, 200 }, { 2, 1, 0 } };
    for (int y = 0; y < 2; ++y)
        std::copy(rows[y], rows[y] + 3, indexed.scanLine(y));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(PngWriter::write(indexed, &buffer, 6).ok());
    const QByteArray png = buffer.data();
    int entries = -1;
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "PLTE")
            entries = int(length / 3);
        at += 12 + qsizetype(length);
    }
    EXPECT_GE(entries, 201);

    const QImage decoded = roundTrip(indexed).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(decoded.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(decoded.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(decoded.pixel(2, 0), qRgb(0, 0, 0)); // shown black, written black
    EXPECT_EQ(decoded.pixel(0, 1), qRgb(0, 0, 0));
}

TEST(PngWriterTest, NullPictureOrFailingDeviceIsAnError)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    EXPECT_FALSE(succeeded(PngWriter::write(QImage(), &buffer, 6), &error));
    EXPECT_FALSE(error.isEmpty());
    QBuffer closed;
    EXPECT_FALSE(
        succeeded(PngWriter::write(TestPictures::coordinatePicture(10, 10), &closed, 6), &error));
}
