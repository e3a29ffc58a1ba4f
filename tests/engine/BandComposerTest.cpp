#include "BandComposer.h"

#include "ImageCodec.h"
#include "Rendition.h"
#include "TestPictures.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Layer = BandComposer::Layer;
using Alpha = PngStreamWriter::Alpha;

namespace {

IoResult<QImage> decode(const QString& file)
{
    return ImageCodec::read(file);
}

// The join drawn the plain way: every picture painted in turn onto one
// canvas that holds the whole drawing.
QImage wholeCanvasJoin(QSize canvas, const QList<Layer>& layers)
{
    QImage out(canvas, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const Layer& layer : layers) {
        const QImage picture = layer.image.isNull() ? decode(layer.file).value : layer.image;
        const QImage drawn = Rendition::scaled(picture, layer.box.size());
        QPoint at = layer.box.topLeft();
        painter.save();
        if (layer.angle != 0.0f) {
            painter.translate(at + QPoint(layer.box.width() / 2, layer.box.height() / 2));
            painter.rotate(layer.angle);
            at = QPoint(-layer.box.width() / 2, -layer.box.height() / 2);
        }
        painter.drawImage(at, drawn);
        painter.restore();
    }
    return out;
}

QImage bandJoin(QSize canvas, const QList<Layer>& layers, int bandRows, QString* error)
{
    BandComposer composer(canvas, layers, decode);
    if (IoStatus opened = composer.open(); !opened.ok()) {
        *error = opened.error;
        return {};
    }
    QImage out(canvas, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < canvas.height(); y += bandRows) {
        QImage band(canvas.width(), std::min(bandRows, canvas.height() - y),
                    QImage::Format_ARGB32_Premultiplied);
        if (IoStatus composed = composer.compose(band); !composed.ok()) {
            *error = composed.error;
            return {};
        }
        for (int r = 0; r < band.height(); ++r)
            std::memcpy(out.scanLine(y + r), band.constScanLine(r), size_t(out.bytesPerLine()));
    }
    return out;
}

QImage translucentPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 3 % 256, 90, y * 5 % 256, (x + 2 * y) % 256));
    return image;
}

// How many pixels differ and where the first one is, for the failure text.
std::string differences(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return "sizes differ";
    int count = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && count++ == 0)
                first = QPoint(x, y);
    return std::to_string(count) + " pixels differ, the first at " + std::to_string(first.x()) +
           "," + std::to_string(first.y()) + ": " +
           (count ? QString::number(a.pixel(first), 16).toStdString() + " vs " +
                        QString::number(b.pixel(first), 16).toStdString()
                  : std::string());
}

Layer fileLayer(const QString& file, QRect box, float angle = 0.0f)
{
    return Layer{ file, box, angle, QImage() };
}

class BandComposerTest : public ::testing::Test
{
protected:
    QString save(const QImage& image, const QString& name)
    {
        return TestPictures::save(image, m_dir.filePath(name));
    }
    QTemporaryDir m_dir;
};

} // namespace

// Bands of every height, whose edges cut through every picture, give the
// whole-canvas drawing to the bit: overlapping pictures with and without
// alpha, read row by row or whole, turned ones reaching past the canvas's
// left and top, stretched ones and pictures already decoded.
TEST_F(BandComposerTest, BandsGiveTheWholeCanvasDrawingBitForBit)
{
    using TestPictures::coordinatePicture;
    QImage palette = coordinatePicture(50, 50).convertToFormat(QImage::Format_Indexed8);
    const QList<Layer> layers{
        fileLayer(save(coordinatePicture(120, 90), "rgb.png"), QRect(0, 0, 120, 90)),
        fileLayer(save(translucentPicture(100, 80), "rgba.png"), QRect(60, 40, 100, 80)),
        fileLayer(save(palette, "palette.png"), QRect(150, 10, 50, 50)),
        fileLayer(
            save(coordinatePicture(60, 50).convertToFormat(QImage::Format_Grayscale8), "grey.png"),
            QRect(200, 100, 60, 50)),
        fileLayer(save(coordinatePicture(80, 60), "turned.png"), QRect(5, 120, 80, 60), 30.0f),
        fileLayer(save(translucentPicture(60, 40), "upright.png"), QRect(230, 0, 60, 40), 90.0f),
        fileLayer(save(coordinatePicture(40, 30), "small.png"), QRect(100, 140, 70, 50)),
        Layer{ QString(), QRect(20, 150, 40, 40), 0.0f,
               translucentPicture(40, 40).convertToFormat(QImage::Format_ARGB32_Premultiplied) },
        fileLayer(save(coordinatePicture(45, 45), "photo.jpg"), QRect(250, 150, 45, 45)),
        fileLayer(save(coordinatePicture(70, 70), "tilted.png"), QRect(120, 60, 70, 70), -17.5f),
    };
    const QSize canvas(300, 200);
    const QImage expected = wholeCanvasJoin(canvas, layers);
    for (int bandRows : { 1, 7, 64, 200 }) {
        QString error;
        const QImage joined = bandJoin(canvas, layers, bandRows, &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_TRUE(joined == expected)
            << "bands of " << bandRows << ": " << differences(joined, expected);
    }
}

TEST_F(BandComposerTest, HeadersTellWhetherTheJoinedPictureIsOpaque)
{
    using TestPictures::coordinatePicture;
    const QString left = save(coordinatePicture(50, 40), "l.png");
    const QString right = save(coordinatePicture(50, 40), "r.png");
    const QString glass = save(translucentPicture(50, 40), "g.png");
    const auto alphaOf = [](QSize canvas, const QList<Layer>& layers) {
        BandComposer composer(canvas, layers, decode);
        EXPECT_TRUE(composer.open().ok());
        return composer.alpha();
    };
    // Opaque pictures edge to edge; one a photo.
    const QString photo = save(coordinatePicture(50, 40), "p.jpg");
    EXPECT_EQ(alphaOf({ 100, 40 },
                      { fileLayer(left, { 0, 0, 50, 40 }), fileLayer(photo, { 50, 0, 50, 40 }) }),
              Alpha::Opaque);
    // A gap no picture covers.
    EXPECT_EQ(alphaOf({ 110, 40 },
                      { fileLayer(left, { 0, 0, 50, 40 }), fileLayer(right, { 60, 0, 50, 40 }) }),
              Alpha::Translucent);
    // Covered, but partly by a picture with alpha, or a turned one: the rows tell.
    EXPECT_EQ(alphaOf({ 100, 40 },
                      { fileLayer(left, { 0, 0, 50, 40 }), fileLayer(glass, { 50, 0, 50, 40 }) }),
              Alpha::Unknown);
    EXPECT_EQ(alphaOf({ 50, 40 }, { fileLayer(left, { 0, 0, 50, 40 }, 45.0f) }), Alpha::Unknown);
}

TEST_F(BandComposerTest, AnUnreadablePictureFailsTheBandThatReachesIt)
{
    const QString good = save(TestPictures::coordinatePicture(30, 30), "good.png");
    const QString missing = m_dir.filePath("gone.png");
    BandComposer composer(
        { 30, 80 }, { fileLayer(good, { 0, 0, 30, 30 }), fileLayer(missing, { 0, 50, 30, 30 }) },
        decode);
    ASSERT_TRUE(composer.open().ok());
    QImage band(30, 40, QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(composer.compose(band).ok());
    const IoStatus second = composer.compose(band);
    EXPECT_FALSE(second.ok());
    EXPECT_TRUE(second.error.contains("gone.png")) << second.error.toStdString();
}
