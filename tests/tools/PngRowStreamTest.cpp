#include "PngRowStream.h"
#include "ScratchVolume.h"
#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <spng.h>

#include <memory>
#include <vector>

using Output = PngRowStream::Output;

namespace {

// How a run ended, failures included, with the reason into *error.
enum class Status
{
    Done,
    NotStreamable,
    Failed
};

Status runStream(const QString& input, const QString& output, Output kind,
                 const PngRowStream::RowFunction& rows, QString* error = nullptr)
{
    const IoResult<PngRowStream::Streamed> result = PngRowStream::run(input, output, kind, rows);
    if (error)
        *error = result.error;
    if (!result.ok())
        return Status::Failed;
    return result.value == PngRowStream::Streamed::Done ? Status::Done : Status::NotStreamable;
}

// Every channel, alpha included, changes along both axes, so a swapped
// channel, a shifted row or a lost alpha shows.
QImage busyPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgba((x * 37 + y * 11) % 256, (x * 5 + y * 73) % 256,
                                   (x * y + 19) % 256, (x * 29 + y * 3) % 256));
    return picture;
}

// The row functions of the tests: the colour as it came, and the alpha as
// grey, so the output file shows what the function was given.
void copyColour(const QRgb* in, uchar* out, int width)
{
    auto* pixels = reinterpret_cast<QRgb*>(out);
    for (int x = 0; x < width; ++x)
        pixels[x] = in[x] | 0xFF000000u;
}

void alphaAsGrey(const QRgb* in, uchar* out, int width)
{
    for (int x = 0; x < width; ++x)
        out[x] = uchar(qAlpha(in[x]));
}

// An interlaced copy of an opaque picture, written by libspng itself since
// Qt writes no interlaced PNG.
QByteArray interlacedPng(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::vector<uchar> pixels;
    for (int y = 0; y < rgb.height(); ++y)
        pixels.insert(pixels.end(), rgb.constScanLine(y),
                      rgb.constScanLine(y) + std::ptrdiff_t(rgb.width()) * 3);
    std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> encoder(spng_ctx_new(SPNG_CTX_ENCODER),
                                                                spng_ctx_free);
    spng_ihdr header = {};
    header.width = quint32(rgb.width());
    header.height = quint32(rgb.height());
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
    header.interlace_method = 1;
    spng_set_option(encoder.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_ihdr(encoder.get(), &header);
    if (spng_encode_image(encoder.get(), pixels.data(), pixels.size(), SPNG_FMT_PNG,
                          SPNG_ENCODE_FINALIZE) != 0)
        return {};
    size_t length = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(encoder.get(), &length, &error);
    QByteArray bytes(static_cast<const char*>(buffer), qsizetype(length));
    free(buffer);
    return bytes;
}

} // namespace

class PngRowStreamTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files); }
    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir m_dir;
};

// Whatever kind of 8-bit PNG comes in, the function gets the pixels Qt reads
// from it, and the rows it gives come out pixel for pixel, for any shape: one
// pixel, one column, one row, odd widths, and more rows than the buffers
// between the two threads hold at once.
TEST_F(PngRowStreamTest, RowsGoThroughPixelExactForEveryKindAndShape)
{
    const QSize shapes[] = { { 1, 1 }, { 1, 45 }, { 45, 1 }, { 33, 70 }, { 19, 300 } };
    for (const QSize shape : shapes) {
        const QImage colours = busyPicture(shape.width(), shape.height());
        const QImage opaque = colours.convertToFormat(QImage::Format_RGB32);
        const QList<QPair<QString, QImage>> inputs = {
            { "alpha", colours },
            { "opaque", opaque },
            { "indexed", opaque.convertToFormat(QImage::Format_Indexed8) },
            { "indexed-alpha", colours.convertToFormat(QImage::Format_Indexed8) },
            { "grey", opaque.convertToFormat(QImage::Format_Grayscale8) },
            { "mono", opaque.convertToFormat(QImage::Format_Mono) },
        };
        for (const auto& [kind, picture] : inputs) {
            const std::string what = kind.toStdString() + " " + std::to_string(shape.width()) +
                                     "x" + std::to_string(shape.height());
            const QString in = TestPictures::save(picture, path(kind + ".png"));
            const QImage expected = QImage(in).convertToFormat(QImage::Format_ARGB32);
            ASSERT_FALSE(expected.isNull()) << what;
            QString error;
            ASSERT_EQ(runStream(in, path("rgb.png"), Output::Rgb, copyColour, &error), Status::Done)
                << what << ": " << error.toStdString();
            ASSERT_EQ(runStream(in, path("grey.png"), Output::Grey, alphaAsGrey, &error),
                      Status::Done)
                << what << ": " << error.toStdString();
            const QImage rgb = QImageReader(path("rgb.png")).read();
            const QImage grey = QImageReader(path("grey.png")).read();
            ASSERT_EQ(rgb.format(), QImage::Format_RGB32) << what;
            ASSERT_EQ(grey.format(), QImage::Format_Grayscale8) << what;
            ASSERT_EQ(rgb.size(), shape) << what;
            ASSERT_EQ(grey.size(), shape) << what;
            for (int y = 0; y < shape.height(); ++y)
                for (int x = 0; x < shape.width(); ++x) {
                    const QRgb pixel = expected.pixel(x, y);
                    ASSERT_EQ(rgb.pixel(x, y), pixel | 0xFF000000u)
                        << what << " at " << x << "," << y;
                    ASSERT_EQ(qGray(grey.pixel(x, y)), qAlpha(pixel))
                        << what << " at " << x << "," << y;
                }
        }
    }
}

// Files the stream does not read row by row go to the whole-picture path
// untouched: nothing is written and no error is given.
TEST_F(PngRowStreamTest, OtherFilesAreLeftToTheWholePicturePath)
{
    const QImage picture = busyPicture(20, 12);
    const QString inputs[] = {
        TestPictures::save(picture.convertToFormat(QImage::Format_RGBA64), path("deep.png")),
        write("interlaced.png", interlacedPng(picture)),
        TestPictures::save(picture, path("picture.bmp")),
        path("missing.png"),
    };
    ASSERT_FALSE(QImage(path("interlaced.png")).isNull());
    for (const QString& in : inputs) {
        QString error;
        EXPECT_EQ(runStream(in, path("out.png"), Output::Rgb, copyColour, &error),
                  Status::NotStreamable)
            << in.toStdString();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_FALSE(QFile::exists(path("out.png")));
    }
}

// A damaged input is an error that names the file, whether the damage is
// in the header or the pixel data, and the output is neither made nor left
// half-written.
TEST_F(PngRowStreamTest, CutOrCorruptInputIsAnErrorAndWritesNothing)
{
    const QString whole = TestPictures::save(busyPicture(301, 203), path("whole.png"));
    QFile file(whole);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QByteArray flipped = bytes;
    flipped[flipped.size() / 2] = char(flipped.at(flipped.size() / 2) ^ 0x55);
    const QList<QPair<QString, QByteArray>> damaged = {
        { "signature-only.png", bytes.left(8) },
        { "cut-header.png", bytes.left(20) },
        { "cut-half.png", bytes.left(bytes.size() / 2) },
        { "cut-last-rows.png", bytes.left(bytes.size() - 20) },
        { "flipped.png", flipped },
    };
    for (const auto& [name, content] : damaged) {
        const QString in = write(name, content);
        for (const Output kind : { Output::Rgb, Output::Grey }) {
            QString error;
            EXPECT_EQ(runStream(in, path("out.png"), kind,
                                kind == Output::Rgb ? copyColour : alphaAsGrey, &error),
                      Status::Failed)
                << name.toStdString();
            EXPECT_TRUE(error.contains(name)) << error.toStdString();
        }
    }
    QStringList expected = { "whole.png" };
    for (const auto& [name, content] : damaged)
        expected << name;
    expected.sort();
    EXPECT_EQ(files(), expected);
}

TEST_F(PngRowStreamTest, AFullDiskIsNamedAndLeavesNoCutFile)
{
    ScratchVolume volume(128);
    if (!volume.mounted())
        GTEST_SKIP() << "no scratch volume (mounting a tmpfs needs administrator rights)";
    // Noise does not compress: the output needs far more than the volume holds.
    QImage noise(300, 300, QImage::Format_RGB32);
    quint32 state = 4711;
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, 0xFF000000u | (state >> 8));
        }
    }
    const QString in = TestPictures::save(noise, path("noise.png"));
    const QString out = volume.path("out.png");
    QString error;
    EXPECT_EQ(runStream(in, out, Output::Rgb, copyColour, &error), Status::Failed);
    EXPECT_TRUE(error.contains(QStringLiteral("磁盘空间不足"))) << error.toStdString();
    EXPECT_TRUE(error.contains("out.png")) << error.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(PngRowStreamTest, UnwritableOutputIsAnErrorThatNamesIt)
{
    const QString in = TestPictures::save(busyPicture(5, 5), path("in.png"));
    QString error;
    EXPECT_EQ(runStream(in, path("no/folder/out.png"), Output::Rgb, copyColour, &error),
              Status::Failed);
    EXPECT_TRUE(error.contains("out.png")) << error.toStdString();
}
