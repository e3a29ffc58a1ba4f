#include "PngStreamWriter.h"

#include "TestPictures.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using Alpha = PngStreamWriter::Alpha;
using ColourType = PngStreamWriter::ColourType;

namespace {

struct Encoded
{
    QByteArray bytes;
    QString error;
    ColourType type = ColourType::Rgba;
};

// The picture through the writer in bands of bandRows rows.
Encoded encode(const QImage& image, Alpha alpha, int bandRows)
{
    Encoded encoded;
    QBuffer buffer(&encoded.bytes);
    buffer.open(QIODevice::WriteOnly);
    PngStreamWriter writer(&buffer, image.size(), alpha, 6);
    for (int y = 0; y < image.height() && encoded.error.isEmpty(); y += bandRows)
        encoded.error =
            writer.add(image.copy(0, y, image.width(), std::min(bandRows, image.height() - y)))
                .error;
    if (encoded.error.isEmpty())
        encoded.error = writer.finish().error;
    encoded.type = writer.colourType();
    return encoded;
}

int colourTypeByte(const QByteArray& png)
{
    return png.size() > 25 ? int(uchar(png.at(25))) : -1;
}

QImage decoded(const QByteArray& png)
{
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
}

// Many colours, with stretches that suit each filter: a horizontal ramp,
// a vertical one, noise, and flat ground.
QImage busyPicture(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch ((y / 16) % 4) {
                case 0: line[x] = qRgb(x % 256, 40, 200); break;
                case 1: line[x] = qRgb(90, y % 256, 10); break;
                case 2: line[x] = random.generate() | 0xFF000000u; break;
                default: line[x] = qRgb(250, 250, 250); break;
            }
        }
    }
    return image;
}

// A picture of `colours` colours (its black ground among them), the last
// ones only in its last row.
QImage countedColours(int colours, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(0, 0, 0));
    for (int i = 0; i < colours - 1; ++i) {
        const int y = i < colours - 5 ? (i * 3) % (height - 8) : height - 1;
        image.setPixel(i % width, y, qRgb(i % 256, i / 256 + 1, 99));
    }
    return image;
}

} // namespace

TEST(PngStreamWriterTest, OpaquePicturesGetThreeChannelsAndKeepEveryPixel)
{
    const QImage rgb = busyPicture(131, 150, QImage::Format_RGB32);
    for (const auto& [image, alpha] :
         { std::pair{ rgb, Alpha::Opaque },
           std::pair{ rgb.convertToFormat(QImage::Format_ARGB32_Premultiplied), Alpha::Unknown },
           std::pair{ rgb.convertToFormat(QImage::Format_ARGB32), Alpha::Unknown } }) {
        for (int bandRows : { 1, 13, 150 }) {
            const Encoded encoded = encode(image, alpha, bandRows);
            ASSERT_TRUE(encoded.error.isEmpty()) << encoded.error.toStdString();
            EXPECT_EQ(colourTypeByte(encoded.bytes), 2) << bandRows;
            EXPECT_EQ(decoded(encoded.bytes), rgb.convertToFormat(QImage::Format_ARGB32))
                << bandRows;
        }
    }
}

TEST(PngStreamWriterTest, APaletteHoldsWhileTheColoursFitAndGivesWayToALateOne)
{
    for (const auto& [colours, type] :
         { std::pair{ 256, 3 }, std::pair{ 257, 2 }, std::pair{ 2, 3 } }) {
        const QImage image = countedColours(colours, 97, 120);
        const Encoded encoded = encode(image, Alpha::Unknown, 10);
        ASSERT_TRUE(encoded.error.isEmpty()) << encoded.error.toStdString();
        EXPECT_EQ(colourTypeByte(encoded.bytes), type) << colours;
        EXPECT_EQ(decoded(encoded.bytes), image.convertToFormat(QImage::Format_ARGB32)) << colours;
    }
}

TEST(PngStreamWriterTest, ALateTranslucentPixelTurnsTheHeldBandsIntoRgba)
{
    // From a palette (few colours) and from RGB (many), the bands held so
    // far are rewritten with alpha; the translucent pixel lies in the last row.
    for (const QImage& opaquePart :
         { countedColours(40, 90, 100), busyPicture(90, 100, QImage::Format_RGB32) }) {
        QImage image = opaquePart.convertToFormat(QImage::Format_ARGB32);
        image.setPixel(45, 99, qRgba(200, 100, 50, 128));
        image.setPixel(46, 99, qRgba(0, 0, 0, 0));
        const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const Encoded encoded = encode(premultiplied, Alpha::Unknown, 9);
        ASSERT_TRUE(encoded.error.isEmpty()) << encoded.error.toStdString();
        EXPECT_EQ(colourTypeByte(encoded.bytes), 6);
        EXPECT_EQ(encoded.type, ColourType::Rgba);
        EXPECT_EQ(decoded(encoded.bytes), premultiplied.convertToFormat(QImage::Format_ARGB32));
    }
    // Known translucent: RGBA from the start, even when every pixel is opaque.
    const QImage opaque = countedColours(3, 20, 20);
    const Encoded told = encode(opaque, Alpha::Translucent, 7);
    EXPECT_EQ(colourTypeByte(told.bytes), 6);
    EXPECT_EQ(decoded(told.bytes), opaque.convertToFormat(QImage::Format_ARGB32));
}

TEST(PngStreamWriterTest, RowsThatDoNotFitAndFailedWritesAreErrors)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        PngStreamWriter writer(&buffer, QSize(10, 10), Alpha::Opaque, 6);
        EXPECT_FALSE(writer.add(QImage(9, 5, QImage::Format_RGB32)).ok());
        EXPECT_FALSE(
            writer.add(QImage(10, 5, QImage::Format_RGB32)).ok()); // failed once: stays failed
    }
    {
        PngStreamWriter writer(&buffer, QSize(10, 10), Alpha::Opaque, 6);
        QImage rows(10, 5, QImage::Format_RGB32);
        rows.fill(Qt::red);
        EXPECT_TRUE(writer.add(rows).ok());
        EXPECT_FALSE(writer.add(QImage(10, 6, QImage::Format_RGB32)).ok()); // past the bottom
    }
    {
        PngStreamWriter writer(&buffer, QSize(10, 10), Alpha::Opaque, 6);
        QImage rows(10, 5, QImage::Format_RGB32);
        rows.fill(Qt::red);
        EXPECT_TRUE(writer.add(rows).ok());
        EXPECT_FALSE(writer.finish().ok()); // half the rows
    }
    QFile full(QStringLiteral("/dev/full"));
    if (full.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QImage image = busyPicture(64, 64, QImage::Format_RGB32);
        PngStreamWriter writer(&full, image.size(), Alpha::Opaque, 6);
        IoStatus status = writer.add(image);
        if (status.ok())
            status = writer.finish();
        EXPECT_FALSE(status.ok());
    }
}
