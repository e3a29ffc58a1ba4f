#include "PngRowReader.h"

#include "ImageCodec.h"
#include "TestPictures.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage palettePicture(bool withAlpha)
{
    QImage image(37, 23, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 20; ++i)
        table << qRgba(i * 12, 255 - i * 10, i * 3, withAlpha ? i * 13 : 255);
    image.setColorTable(table);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, uint((x + y) % 20));
    return image;
}

QImage rgbaPicture()
{
    QImage image = TestPictures::coordinatePicture(41, 29).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((x + y) % 3 == 0)
                image.setPixel(x, y, qRgba(x * 5, y * 7, 200, (x * y) % 256));
    return image;
}

} // namespace

// Every kind of 8-bit (or smaller) PNG gives Qt's own decoded pixels, read a
// few rows at a time.
TEST(PngRowReaderTest, RowsAreTheWholePictureDecodersPixels)
{
    QTemporaryDir dir;
    const QImage coordinates = TestPictures::coordinatePicture(41, 29);
    const QList<std::pair<QImage, bool>> kinds{
        { coordinates, true },
        { coordinates.convertToFormat(QImage::Format_Grayscale8), true },
        { rgbaPicture(), false },
        { palettePicture(false), true },
        { palettePicture(true), false },
        { coordinates.convertToFormat(QImage::Format_Mono), true },
    };
    int number = 0;
    for (const auto& [image, opaque] : kinds) {
        const QString file =
            TestPictures::save(image, dir.filePath(QStringLiteral("k%1.png").arg(++number)));
        PngRowReader reader;
        const IoResult<bool> opened = reader.open(file);
        ASSERT_TRUE(opened.ok() && opened.value) << number;
        EXPECT_EQ(reader.size(), image.size());
        EXPECT_EQ(reader.opaque(), opaque) << number;
        QImage rows(image.width(), image.height(), reader.format());
        for (int y = 0; y < image.height(); y += 5) {
            QImage part(image.width(), 5, reader.format());
            const int count = std::min(5, image.height() - y);
            ASSERT_TRUE(reader.read(part, count).ok()) << number;
            for (int r = 0; r < count; ++r)
                std::memcpy(rows.scanLine(y + r), part.constScanLine(r),
                            size_t(rows.bytesPerLine()));
        }
        const QImage whole = ImageCodec::read(file).value.convertToFormat(reader.format());
        EXPECT_EQ(rows, whole) << number;
        EXPECT_FALSE(reader.read(rows, 1).ok()); // past the bottom
    }
}

TEST(PngRowReaderTest, OtherFilesAreLeftToTheWholePictureDecoderAndBrokenOnesFail)
{
    QTemporaryDir dir;
    const QString jpeg =
        TestPictures::save(TestPictures::coordinatePicture(20, 20), dir.filePath("a.jpg"));
    const QString deep = dir.filePath("deep.png");
    ASSERT_TRUE(TestPictures::coordinatePicture(20, 20)
                    .convertToFormat(QImage::Format_RGBA64)
                    .save(deep, "PNG"));
    for (const QString& file : { jpeg, deep, dir.filePath("missing.png") }) {
        PngRowReader reader;
        const IoResult<bool> opened = reader.open(file);
        EXPECT_TRUE(opened.ok() && !opened.value) << file.toStdString();
    }

    // A file cut in the middle of its rows fails, naming it: when it is
    // opened or when its rows are read.
    const QString whole = TestPictures::save(rgbaPicture(), dir.filePath("whole.png"));
    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    QFile cut(dir.filePath("cut.png"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    PngRowReader reader;
    const IoResult<bool> opened = reader.open(cut.fileName());
    QString error = opened.error;
    if (opened.ok()) {
        ASSERT_TRUE(opened.value);
        QImage rows(reader.size().width(), reader.size().height(), reader.format());
        error = reader.read(rows, reader.size().height()).error;
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains("cut.png")) << error.toStdString();
}
