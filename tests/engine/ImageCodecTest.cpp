#include "ImageCodec.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Format = ImageCodec::Format;
using Effort = ImageCodec::Effort;

// Largest difference of any channel (alpha included) over all pixels.
int maxChannelError(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            worst = std::max({ worst, std::abs(qRed(p[col]) - qRed(q[col])),
                               std::abs(qGreen(p[col]) - qGreen(q[col])),
                               std::abs(qBlue(p[col]) - qBlue(q[col])),
                               std::abs(qAlpha(p[col]) - qAlpha(q[col])) });
        }
    }
    return worst;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A picture of a few flat colours, as screen captures of drawings are.
QImage drawingPicture()
{
    QImage image = TestPictures::solidPicture(240, 160, Qt::white);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (x % 20 == 0)
                line[x] = qRgb(255, 0, 0);
            else if (y % 15 == 0)
                line[x] = qRgb(0, 0, 160);
        }
    }
    return image;
}

// A 4 x 2 bitmap of 8 bits a pixel whose palette has two entries while its
// pixels use indexes up to 255, as some capture tools write them.
QByteArray bitmapWithShortPalette()
{
    constexpr int width = 4, height = 2, stride = 4, colours = 2;
    constexpr int pixelsAt = 14 + 40 + colours * 4;
    QByteArray bytes(pixelsAt + stride * height, '\0');
    auto* d = reinterpret_cast<uchar*>(bytes.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), d + 2);
    qToLittleEndian<quint32>(pixelsAt, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(width, d + 18);
    qToLittleEndian<qint32>(height, d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(8, d + 28);
    qToLittleEndian<quint32>(stride * height, d + 34);
    qToLittleEndian<quint32>(colours, d + 46);
    const uchar palette[8] = { 0x10, 0x20, 0x30, 0, 0xF0, 0xE0, 0xD0, 0 }; // blue, green, red
    std::copy(palette, palette + 8, d + 54);
    const uchar rows[8] = { 0, 1, 120, 2, 1, 0, 7, 255 }; // bottom row first
    std::copy(rows, rows + 8, d + pixelsAt);
    return bytes;
}

// Entries of a PNG file's palette; -1 for a file that has none.
int pngPaletteEntries(const QByteArray& png)
{
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "PLTE")
            return int(length / 3);
        at += 12 + qsizetype(length);
    }
    return -1;
}

class ImageCodecTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    ImageCodec::ReadResult writeAndRead(const QImage& image, const QString& name, Format format,
                                        Effort effort = Effort::Normal)
    {
        QString error;
        EXPECT_TRUE(succeeded(ImageCodec::write(image, path(name), format, effort), &error))
            << error.toStdString();
        EXPECT_TRUE(error.isEmpty());
        return ImageCodec::read(path(name));
    }

    // Writes the picture, keeps only the first half of the file, and reads it.
    ImageCodec::ReadResult readHalf(const QImage& image, const QString& name, Format format)
    {
        EXPECT_TRUE(succeeded(ImageCodec::write(image, path(name), format)));
        const QByteArray bytes = fileBytes(path(name));
        writeBytes(path(name), bytes.left(bytes.size() / 2));
        return ImageCodec::read(path(name));
    }

    QTemporaryDir m_dir;
};

TEST(ImageCodecFormats, SuffixesPickEncodersWithoutRegardToCase)
{
    struct Case
    {
        const char* suffix;
        Format format;
        bool served;
    };
    const Case cases[] = {
        { "bmp", Format::Bmp, true },   { "BMP", Format::Bmp, true },
        { "jpg", Format::Jpeg, true },  { "Jpg", Format::Jpeg, true },
        { "jpeg", Format::Jpeg, true }, { "JPEG", Format::Jpeg, true },
        { "png", Format::Png, true },   { "PNG", Format::Png, true },
        { "gif", Format::Gif, true },   { "GiF", Format::Gif, true },
        { "tif", Format::Png, false },  { "", Format::Png, false },
        { "peg", Format::Png, false },  { "jpgx", Format::Png, false },
    };
    for (const Case& c : cases) {
        bool served = !c.served;
        EXPECT_EQ(ImageCodec::formatForSuffix(c.suffix, &served), c.format) << c.suffix;
        EXPECT_EQ(served, c.served) << c.suffix;
    }
    for (Format format : { Format::Bmp, Format::Jpeg, Format::Png, Format::Gif }) {
        bool served = false;
        EXPECT_EQ(ImageCodec::formatForSuffix(ImageCodec::suffixFor(format), &served), format);
        EXPECT_TRUE(served);
    }
    EXPECT_EQ(ImageCodec::suffixFor(Format::Jpeg), "jpg");
}

TEST(ImageCodecFormats, EncodersAreFoundByExactMimeType)
{
    EXPECT_EQ(ImageCodec::FindImageEncoder("image/bmp"), 0);
    EXPECT_EQ(ImageCodec::FindImageEncoder("image/jpeg"), 1);
    EXPECT_EQ(ImageCodec::FindImageEncoder("image/png"), 2);
    EXPECT_EQ(ImageCodec::FindImageEncoder("image/gif"), 3);
    for (const char* unknown : { "image/JPEG", "image/jpg", "image/tiff", "", "image/png " })
        EXPECT_EQ(ImageCodec::FindImageEncoder(unknown), -1) << unknown;
}

TEST_F(ImageCodecTest, LosslessFormatsKeepEveryPixel)
{
    const QImage coordinates = TestPictures::coordinatePicture(300, 200);
    const QImage drawing = drawingPicture();
    for (Effort effort : { Effort::Normal, Effort::Fast }) {
        for (Format format : { Format::Bmp, Format::Png }) {
            const QString name = ImageCodec::suffixFor(format);
            const auto many = writeAndRead(coordinates, "many." + name, format, effort);
            ASSERT_TRUE(many.ok()) << many.error.toStdString();
            EXPECT_EQ(maxChannelError(coordinates, many.value), 0) << name.toStdString();
            if (format == Format::Png) { // not stored raw, whatever the effort
                EXPECT_LT(QFileInfo(path("many.png")).size(), 300 * 200);
            }
            const auto few = writeAndRead(drawing, "few." + name, format, effort);
            ASSERT_TRUE(few.ok()) << few.error.toStdString();
            EXPECT_EQ(maxChannelError(drawing, few.value), 0) << name.toStdString();
        }
    }
}

TEST_F(ImageCodecTest, PngKeepsAlphaAndCompressesFewColours)
{
    QImage translucent =
        TestPictures::coordinatePicture(64, 64).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y) {
        auto* line = reinterpret_cast<QRgb*>(translucent.scanLine(y));
        for (int x = 0; x < 64; ++x)
            line[x] = (line[x] & 0x00FFFFFFu) | (QRgb(x * 4) << 24);
    }
    const auto back = writeAndRead(translucent, "alpha.png", Format::Png);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(maxChannelError(translucent, back.value), 0);

    // Fully opaque but held with an alpha channel, as composed canvases are.
    const QImage drawing = drawingPicture().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_TRUE(writeAndRead(drawing, "drawing.png", Format::Png).ok());
    QImageWriter plain(path("plain.png"), "png");
    ASSERT_TRUE(plain.write(drawing));
    plain.setFileName(QString());
    EXPECT_LT(QFileInfo(path("drawing.png")).size(), QFileInfo(path("plain.png")).size());
}

TEST_F(ImageCodecTest, JpegIsWrittenAtFullQuality)
{
    // Busy grey: colour subsampling plays no part, and any quality below 100
    // shows as errors of 7 and more.
    QImage picture(128, 128, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] =
                qRgb((x * 31 + y * 17) % 256, (x * 31 + y * 17) % 256, (x * 31 + y * 17) % 256);
    }
    const auto back = writeAndRead(picture, "photo.jpg", Format::Jpeg);
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_LE(maxChannelError(picture, back.value), 3);
    EXPECT_EQ(QImageReader::imageFormat(path("photo.jpg")), "jpeg");
}

TEST_F(ImageCodecTest, OpaqueFormatsShowTransparentPixelsOverBlack)
{
    const struct
    {
        QRgb pixel;
        QRgb shown;
    } cases[] = { { qRgba(255, 255, 255, 0), qRgb(0, 0, 0) }, // hidden white must not show
                  { qRgba(255, 0, 0, 128), qRgb(128, 0, 0) } };
    for (const auto& c : cases) {
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(c.pixel);
        QImage expected(16, 16, QImage::Format_RGB32);
        expected.fill(c.shown);
        const auto bmp = writeAndRead(picture, "flat.bmp", Format::Bmp);
        ASSERT_TRUE(bmp.ok());
        EXPECT_EQ(maxChannelError(expected, bmp.value), 0);
        const auto jpeg = writeAndRead(picture, "flat.jpg", Format::Jpeg);
        ASSERT_TRUE(jpeg.ok());
        EXPECT_LE(maxChannelError(expected, jpeg.value), 2);
    }
}

TEST_F(ImageCodecTest, WriteByPathTakesTheFormatFromTheSuffix)
{
    const QImage picture = drawingPicture();
    struct Case
    {
        const char* name;
        const char* stored;
    };
    for (const Case& c :
         { Case{ "a.JPG", "jpeg" }, Case{ "b.jpeg", "jpeg" }, Case{ "c.Bmp", "bmp" },
           Case{ "d.gif", "gif" }, Case{ "e.png", "png" }, Case{ "f.tif", "png" } }) {
        QString error;
        ASSERT_TRUE(succeeded(ImageCodec::write(picture, path(c.name), Effort::Normal), &error))
            << c.name;
        EXPECT_EQ(QImageReader::imageFormat(path(c.name)), c.stored) << c.name;
    }
}

TEST_F(ImageCodecTest, JpegStructureChecksAcceptValidVariants)
{
    const QImage picture = TestPictures::coordinatePicture(120, 90);
    QImageWriter progressive(path("progressive.jpg"), "jpeg");
    progressive.setProgressiveScanWrite(true);
    progressive.setOptimizedWrite(true);
    ASSERT_TRUE(progressive.write(picture));
    progressive.setFileName(QString());
    EXPECT_TRUE(ImageCodec::read(path("progressive.jpg")).ok());

    // Bytes after the end-of-image marker do not make the picture incomplete.
    ASSERT_TRUE(succeeded(ImageCodec::write(picture, path("tail.jpg"), Format::Jpeg)));
    writeBytes(path("tail.jpg"), fileBytes(path("tail.jpg")) + QByteArray(100, '\xFF'));
    const auto tail = ImageCodec::read(path("tail.jpg"));
    ASSERT_TRUE(tail.ok()) << tail.error.toStdString();
    EXPECT_EQ(tail.value.size(), picture.size());
}

TEST_F(ImageCodecTest, CutFilesAreRefused)
{
    const QImage picture = TestPictures::coordinatePicture(400, 300);
    const struct
    {
        const char* name;
        Format format;
    } cases[] = { { "cut.png", Format::Png },
                  { "cut.jpg", Format::Jpeg },
                  { "cut.bmp", Format::Bmp },
                  { "cut.gif", Format::Gif } };
    for (const auto& c : cases) {
        const auto result = readHalf(picture, c.name, c.format);
        EXPECT_FALSE(result.ok()) << c.name;
        EXPECT_TRUE(result.value.isNull()) << c.name;
        EXPECT_TRUE(result.error.contains(c.name)) << result.error.toStdString();
    }

    // Only the end-of-image marker missing still counts as cut.
    ASSERT_TRUE(succeeded(ImageCodec::write(picture, path("noend.jpg"), Format::Jpeg)));
    writeBytes(path("noend.jpg"), fileBytes(path("noend.jpg")).chopped(2));
    EXPECT_FALSE(ImageCodec::read(path("noend.jpg")).ok());
}

TEST_F(ImageCodecTest, UnreadableFilesFailWithTheirName)
{
    writeBytes(path("notes.png"), "this is not a picture, only some text\n");
    writeBytes(path("empty.bmp"), QByteArray());
    QDir(m_dir.path()).mkdir("folder.png");
    for (const char* name : { "missing.png", "notes.png", "empty.bmp", "folder.png" }) {
        const auto result = ImageCodec::read(path(name));
        EXPECT_FALSE(result.ok()) << name;
        EXPECT_TRUE(result.error.contains(name)) << result.error.toStdString();
        QString error;
        EXPECT_FALSE(succeeded(ImageCodec::readSize(path(name)), &error)) << name;
        EXPECT_TRUE(error.contains(name)) << error.toStdString();
    }
}

TEST_F(ImageCodecTest, ReadSizeNeedsOnlyTheHeader)
{
    ASSERT_TRUE(succeeded(
        ImageCodec::write(TestPictures::coordinatePicture(321, 123), path("s.png"), Format::Png)));
    EXPECT_EQ(ImageCodec::readSize(path("s.png")).value, QSize(321, 123));
    const QByteArray bytes = fileBytes(path("s.png"));
    writeBytes(path("s.png"), bytes.left(bytes.size() / 2));
    EXPECT_EQ(ImageCodec::readSize(path("s.png")).value, QSize(321, 123));
}

// A 24-bit bitmap header without pixel data.
QByteArray bitmapHeader(qint32 width, qint32 height)
{
    QByteArray header(54, '\0');
    auto put32 = [&header](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = char((value >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + quint32(width) * 3 * quint32(height));
    put32(10, 54);
    put32(14, 40);
    put32(18, quint32(width));
    put32(22, quint32(height));
    header[26] = 1;  // planes
    header[28] = 24; // bits per pixel
    return header;
}

quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    const char bytes[] = { char(value >> 24), char(value >> 16), char(value >> 8), char(value) };
    return QByteArray(bytes, 4);
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    const QByteArray body = type + data;
    return bigEndian(quint32(data.size())) + body + bigEndian(crc32(body));
}

// An 8-bit RGB PNG whose image data chunk is empty.
QByteArray pngHeader(quint32 width, quint32 height)
{
    const QByteArray header =
        bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\0\0\0", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", {}) +
           pngChunk("IEND", {});
}

TEST_F(ImageCodecTest, PicturesBeyondTheLimitAreRefusedFromTheirHeader)
{
    const struct
    {
        const char* name;
        QByteArray header;
        const char* width;
    } cases[] = { { "huge.png", pngHeader(20000, 20000), "20000" },
                  { "huge.bmp", bitmapHeader(16001, 12000), "16001" } };
    for (const auto& c : cases) {
        writeBytes(path(c.name), c.header);
        const auto result = ImageCodec::read(path(c.name));
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(c.name)) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(c.width)) << result.error.toStdString();
        QString error;
        EXPECT_FALSE(succeeded(ImageCodec::readSize(path(c.name)), &error));
        EXPECT_EQ(error.toStdString(), result.error.toStdString());
    }
}

TEST_F(ImageCodecTest, TheLargestAcceptedPictureDecodes)
{
    // An RGB picture decodes to 32 bits a pixel: 768 MB, above Qt's default
    // allocation limit. Solid colour keeps the file small.
    {
        QImage big(16000, 12000, QImage::Format_RGB32);
        ASSERT_FALSE(big.isNull());
        big.fill(qRgb(10, 200, 30));
        QImageWriter writer(path("big.png"), "png");
        writer.setQuality(80);
        ASSERT_TRUE(writer.write(big));
    }
    const auto result = ImageCodec::read(path("big.png"));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    ASSERT_EQ(result.value.size(), QSize(16000, 12000));
    const QImage lastRow =
        result.value.copy(0, 11999, 16000, 1).convertToFormat(QImage::Format_RGB32);
    const auto* line = reinterpret_cast<const QRgb*>(lastRow.constScanLine(0));
    EXPECT_EQ(line[15999], qRgb(10, 200, 30));
}

TEST_F(ImageCodecTest, WriteFailuresGiveAReason)
{
    const QImage picture = drawingPicture();
    QString error;
    const QString lost = QDir(path("no-such-folder")).filePath("x.png");
    EXPECT_FALSE(succeeded(ImageCodec::write(picture, lost, Format::Png, Effort::Normal), &error));
    EXPECT_TRUE(error.contains("no-such-folder")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(lost));

    QDir(m_dir.path()).mkdir("taken.png");
    error.clear();
    EXPECT_FALSE(succeeded(
        ImageCodec::write(picture, path("taken.png"), Format::Png, Effort::Normal), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path("taken.png")).isDir());

    error.clear();
    EXPECT_FALSE(succeeded(
        ImageCodec::write(QImage(), path("null.png"), Format::Png, Effort::Normal), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("null.png")));
}

TEST_F(ImageCodecTest, AFailedWriteLeavesTheOldFileAlone)
{
    // Wider than either format can store: the encoder fails after the
    // output file has been opened.
    const QImage tooWide = TestPictures::solidPicture(70000, 2, Qt::red);
    for (Format format : { Format::Gif, Format::Jpeg }) {
        const QString target = path("keep." + ImageCodec::suffixFor(format));
        writeBytes(target, "the picture saved before");
        const QByteArray before = TestPictures::fileHash(target);
        QString error;
        EXPECT_FALSE(succeeded(ImageCodec::write(tooWide, target, format, Effort::Normal), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(TestPictures::fileHash(target), before);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1) << "temporary file left";
        QFile::remove(target);
    }
}

TEST_F(ImageCodecTest, IndexesPastTheBitmapPaletteAreWrittenAsTheyWereShown)
{
    writeBytes(path("short.bmp"), bitmapWithShortPalette());
    const ImageCodec::ReadResult bitmap = ImageCodec::read(path("short.bmp"));
    ASSERT_TRUE(bitmap.ok()) << bitmap.error.toStdString();
    // The two palette colours, and black for every index past them.
    const QRgb first = qRgb(0x30, 0x20, 0x10), second = qRgb(0xD0, 0xE0, 0xF0),
               none = qRgb(0, 0, 0);
    const QRgb expected[2][4] = { { second, first, none, none }, { first, second, none, none } };
    const QImage shown = bitmap.value.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(shown.pixel(x, y), expected[y][x]) << x << "," << y;
    }

    for (Format format : { Format::Png, Format::Bmp, Format::Gif }) {
        const QString name = "out." + ImageCodec::suffixFor(format);
        const ImageCodec::ReadResult again = writeAndRead(bitmap.value, name, format);
        ASSERT_TRUE(again.ok()) << again.error.toStdString();
        EXPECT_EQ(maxChannelError(shown, again.value), 0) << name.toStdString();
    }
    // The PNG is valid: a palette file holds an entry for index 255.
    const int entries = pngPaletteEntries(fileBytes(path("out.png")));
    EXPECT_TRUE(entries == -1 || entries == 256) << entries;
    // Decoded by Qt's own reader rather than through the codec.
    QImageReader reader(path("out.png"));
    const QImage decoded = reader.read();
    ASSERT_FALSE(decoded.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(maxChannelError(shown, decoded), 0);
}

} // namespace

TEST_F(ImageCodecTest, DevicesPipesAndReadOnlyFilesAreNeverReplaced)
{
    const QImage picture = TestPictures::solidPicture(4, 4, Qt::red);
#ifdef Q_OS_UNIX
    const QString pipe = path("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(succeeded(ImageCodec::write(picture, pipe, Format::Png), &error));
    EXPECT_TRUE(error.contains("pipe.png")) << error.toStdString();
    struct stat after = {};
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &after), 0);
    EXPECT_TRUE(S_ISFIFO(after.st_mode)); // still the pipe, not a file put in its place
#endif
    const QString kept = path("kept.png");
    writeBytes(kept, "the user's own file");
    ASSERT_TRUE(QFile::setPermissions(kept, QFileDevice::ReadOwner));
    EXPECT_FALSE(ImageCodec::write(picture, kept, Format::Png).ok());
    EXPECT_EQ(fileBytes(kept), QByteArray("the user's own file"));
}

#ifdef Q_OS_LINUX
TEST_F(ImageCodecTest, AFileWithSeveralHardLinksIsNeverReplaced)
{
    // Replacing one name with a new file would leave the other name on the
    // old picture without a word.
    const QString original = path("plan.png");
    const QString second = path("plan-for-printing.png");
    writeBytes(original, "the drawing both names share");
    ASSERT_EQ(
        ::link(QFile::encodeName(original).constData(), QFile::encodeName(second).constData()), 0);
    const QImage picture = TestPictures::solidPicture(4, 4, Qt::red);
    for (const QString& target : { original, second }) {
        QString error;
        EXPECT_FALSE(succeeded(ImageCodec::write(picture, target, Format::Png), &error));
        EXPECT_TRUE(error.contains(QFileInfo(target).fileName())) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("硬链接"))) << error.toStdString();
    }
    EXPECT_FALSE(ImageCodec::replaceableTarget(original).ok());
    EXPECT_EQ(fileBytes(original), QByteArray("the drawing both names share"));
    struct stat after = {};
    ASSERT_EQ(::stat(QFile::encodeName(second).constData(), &after), 0);
    EXPECT_EQ(after.st_nlink, 2u);

    // Once the other name is gone the file is the user's to replace.
    ASSERT_TRUE(QFile::remove(second));
    EXPECT_TRUE(ImageCodec::write(picture, original, Format::Png).ok());
}
#endif

#ifdef Q_OS_UNIX
TEST_F(ImageCodecTest, APipeIsRefusedInsteadOfWaitedOn)
{
    // Nothing ever writes into this pipe: opening it to read would block.
    const QString pipe = path("tiles.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const ImageCodec::ReadResult picture = ImageCodec::read(pipe);
    EXPECT_FALSE(picture.ok());
    EXPECT_TRUE(picture.error.contains("tiles.png")) << picture.error.toStdString();
    EXPECT_FALSE(ImageCodec::readSize(pipe).ok());
}
#endif

using TestPictures::coordinatePicture;

TEST_F(ImageCodecTest, TopLeftPartsMatchTheWholePictureInEveryKind)
{
    QImage argb = coordinatePicture(53, 41).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        argb.setPixel(y % argb.width(), y, qRgba(10, 200, 30, y * 5));
    QImage indexed(30, 20, QImage::Format_Indexed8);
    indexed.setColorTable({ qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 90), qRgba(0, 0, 0, 0) });
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            indexed.setPixel(x, y, uint((x + y) % 3));
    QImage grey = coordinatePicture(33, 17).convertToFormat(QImage::Format_Grayscale8);
    QImage mono = coordinatePicture(35, 19).convertToFormat(QImage::Format_Mono);
    QImage deep = argb.convertToFormat(QImage::Format_RGBA64); // left to the general decoder
    const struct
    {
        const char* name;
        QImage image;
        const char* format;
    } kinds[] = { { "rgb.png", coordinatePicture(57, 43), "PNG" },
                  { "argb.png", argb, "PNG" },
                  { "indexed.png", indexed, "PNG" },
                  { "grey.png", grey, "PNG" },
                  { "mono.png", mono, "PNG" },
                  { "deep.png", deep, "PNG" },
                  { "bmp.png", coordinatePicture(21, 13), "BMP" } }; // named .png, a BMP inside
    for (const auto& kind : kinds) {
        const QString file = path(QString::fromLatin1(kind.name));
        ASSERT_TRUE(kind.image.save(file, kind.format)) << kind.name;
        const QImage whole = QImage(file).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(whole.isNull()) << kind.name;
        for (const QSize keep :
             { QSize(7, 5), QSize(1, 1), QSize(whole.width(), 3), QSize(1000, 1000) }) {
            QString error;
            const ImageCodec::ReadResult part = ImageCodec::readTopLeft(file, keep);
            ASSERT_TRUE(succeeded(part, &error)) << kind.name << ": " << error.toStdString();
            EXPECT_EQ(part.value.format(), QImage::Format_ARGB32) << kind.name;
            EXPECT_EQ(part.value, whole.copy(QRect(QPoint(0, 0), keep).intersected(whole.rect())))
                << kind.name << " " << keep.width() << "x" << keep.height();
        }
    }
}

TEST_F(ImageCodecTest, TopLeftPartOfABrokenPictureFails)
{
    const QString file = path("broken.png");
    ASSERT_TRUE(coordinatePicture(64, 64).save(file, "PNG"));
    QFile bytes(file);
    ASSERT_TRUE(bytes.open(QIODevice::ReadWrite));
    QByteArray data = bytes.readAll();
    const qsizetype idat = data.indexOf("IDAT");
    ASSERT_GT(idat, 0);
    data[idat + 8] = char(data[idat + 8] ^ 0x5A); // the chunk's checksum no longer holds
    ASSERT_TRUE(bytes.seek(0));
    ASSERT_EQ(bytes.write(data), data.size());
    bytes.close();
    QString error;
    EXPECT_FALSE(succeeded(ImageCodec::readTopLeft(file, QSize(4, 4)), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("broken.png"))) << error.toStdString();
}
