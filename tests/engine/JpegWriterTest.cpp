#include "JpegWriter.h"
#include "TestPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

QByteArray encoded(const QImage& image, QString* error = nullptr)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(succeeded(JpegWriter::write(image, &buffer), error));
    return buffer.data();
}

QImage decoded(const QByteArray& jpeg)
{
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    QImage image;
    EXPECT_TRUE(reader.read(&image)) << reader.errorString().toStdString();
    return image.convertToFormat(QImage::Format_RGB32);
}

// The sampling factors of each component in the frame header, e.g. 0x11 for
// a component at full resolution; empty when there is no frame header.
QByteArray componentSampling(const QByteArray& jpeg)
{
    const auto* d = reinterpret_cast<const uchar*>(jpeg.constData());
    for (qsizetype at = 2; at + 4 <= jpeg.size();) {
        if (d[at] != 0xFF)
            return {};
        const uchar marker = d[at + 1];
        const qsizetype length = (qsizetype(d[at + 2]) << 8) | d[at + 3];
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            QByteArray factors;
            const int components = d[at + 9];
            for (int i = 0; i < components; ++i)
                factors.append(char(d[at + 11 + i * 3]));
            return factors;
        }
        at += 2 + length;
    }
    return {};
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({ std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                      std::abs(qBlue(a) - qBlue(b)) });
}

// A thin red CAD line, one pixel wide, across a flat ground.
QImage redLineOn(QColor ground, QImage::Format format)
{
    QImage image(64, 48, format);
    image.fill(ground);
    for (int y = 0; y < image.height(); ++y)
        image.setPixelColor(21, y, QColor(255, 0, 0));
    for (int x = 0; x < image.width(); ++x)
        image.setPixelColor(x, 30, QColor(255, 0, 0));
    return image;
}

} // namespace

TEST(JpegWriterTest, OnePixelRedLinesKeepTheirColour)
{
    for (QColor ground : { QColor(Qt::black), QColor(Qt::white) }) {
        for (QImage::Format format : { QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied,
                                       QImage::Format_RGB888, QImage::Format_Indexed8 }) {
            QImage picture = redLineOn(ground, QImage::Format_RGB32);
            if (format == QImage::Format_Indexed8)
                picture = picture.convertToFormat(format, Qt::ThresholdDither);
            else
                picture = picture.convertToFormat(format);
            const QByteArray jpeg = encoded(picture);
            EXPECT_EQ(componentSampling(jpeg), QByteArray("\x11\x11\x11", 3));
            const QImage back = decoded(jpeg);
            ASSERT_EQ(back.size(), picture.size());
            const QString what = ground.name() + " " + QString::number(int(format));
            for (int y = 0; y < back.height(); ++y)
                EXPECT_LE(channelDistance(back.pixel(21, y), qRgb(255, 0, 0)), 8)
                    << what.toStdString() << " row " << y;
            for (int x = 0; x < back.width(); ++x)
                EXPECT_LE(channelDistance(back.pixel(x, 30), qRgb(255, 0, 0)), 8)
                    << what.toStdString() << " column " << x;
            EXPECT_LE(channelDistance(back.pixel(5, 5), ground.rgb()), 2) << what.toStdString();
        }
    }
}

TEST(JpegWriterTest, GreyPicturesAreWrittenWithOneChannel)
{
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar(x * 6 + y);
    QImage greyTable = grey.convertToFormat(QImage::Format_Indexed8);
    for (const QImage& picture : { grey, greyTable }) {
        const QByteArray jpeg = encoded(picture);
        EXPECT_EQ(componentSampling(jpeg).size(), 1);
        const QImage back = decoded(jpeg);
        EXPECT_LE(channelDistance(back.pixel(13, 7), qRgb(85, 85, 85)), 2);
    }
    // A palette of colours is written in colour.
    QImage coloured = TestPictures::coordinatePicture(30, 20).convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither);
    EXPECT_EQ(componentSampling(encoded(coloured)).size(), 3);
}

TEST(JpegWriterTest, TransparencyShowsOverBlackInEveryAlphaLayout)
{
    // Half-transparent red, straight and premultiplied, and a transparent white.
    QImage straight(8, 8, QImage::Format_ARGB32);
    straight.fill(qRgba(255, 0, 0, 128));
    straight.setPixel(0, 0, qRgba(255, 255, 255, 0));
    for (const QImage& picture :
         { straight, straight.convertToFormat(QImage::Format_ARGB32_Premultiplied) }) {
        const QImage back = decoded(encoded(picture));
        EXPECT_LE(channelDistance(back.pixel(5, 5), qRgb(128, 0, 0)), 3);
        EXPECT_LE(channelDistance(back.pixel(0, 0), qRgb(0, 0, 0)),
                  16); // hidden white stays hidden
    }
}

TEST(JpegWriterTest, PicturesTooWideForTheFormatAndFailingDevicesAreErrors)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const IoStatus wide =
        JpegWriter::write(QImage(JpegWriter::MaxSide + 1, 1, QImage::Format_RGB32), &buffer);
    EXPECT_FALSE(wide.ok());
    EXPECT_TRUE(wide.error.contains(QString::number(JpegWriter::MaxSide)));
    EXPECT_TRUE(buffer.data().isEmpty());

    EXPECT_FALSE(JpegWriter::write(QImage(), &buffer).ok());
    QBuffer closed;
    EXPECT_FALSE(JpegWriter::write(TestPictures::coordinatePicture(10, 10), &closed).ok());
}
