#include "BandComposer.h"

#include "ParallelFor.h"
#include "PngRowReader.h"
#include "Rendition.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QPixelFormat>
#include <QRegion>
#include <QTransform>

namespace {

// The box of whole pixels that holds the picture turned about its box
// centre, relative to the box's top-left, with a pixel to spare all round.
QRect turnedBounds(QSize box, float angle)
{
    QTransform turn;
    turn.translate(box.width() / 2, box.height() / 2);
    turn.rotate(angle);
    const QRectF unturned(-box.width() / 2, -box.height() / 2, box.width(), box.height());
    return turn.mapRect(unturned).toAlignedRect().adjusted(-1, -1, 1, 1);
}

// Whether a file's header promises a picture without transparency.
bool opaqueByHeader(const QString& file)
{
    QImageReader reader(file);
    const QImage::Format format = reader.imageFormat();
    if (format == QImage::Format_Invalid || format == QImage::Format_Indexed8)
        return false;
    return QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::IgnoresAlpha;
}

// The picture (scaled to its box) turned about the box centre as a painter
// turns it on the whole canvas, over a transparent ground, within area (the
// part of the canvas it may touch). Qt's samples of a turned picture, and the
// rows its edges cover, depend on where the picture lies on the painted
// device and on how far up the device reaches; so it is painted at its very
// canvas position, onto a picture whose rows stand for the canvas rows of
// area and whose columns run from the canvas's left edge to area's right.
// The painter is kept inside area, so no memory above it is needed.
QImage turnedOnCanvas(const QImage& drawn, QRect box, float angle, QRect area)
{
    QImage out(area.left() + area.width(), area.height(), QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull() || out.isNull())
        return {};
    out.fill(Qt::transparent);
    uchar* canvasTop = out.bits() - qsizetype(area.top()) * out.bytesPerLine();
    QImage canvas(canvasTop, out.width(), area.top() + area.height(), out.bytesPerLine(),
                  QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(box.topLeft() + QPoint(box.width() / 2, box.height() / 2));
    painter.rotate(angle);
    painter.drawImage(QPoint(-box.width() / 2, -box.height() / 2), drawn);
    painter.end();
    return out;
}

} // namespace

struct BandComposer::Source
{
    Layer layer;
    std::unique_ptr<PngRowReader> reader; // rows decoded as the bands come
    bool opaque = false;                  // no pixel of the drawn picture is translucent
    QRect extent;                         // the canvas pixels the drawn picture may touch
    QImage whole;                         // the drawn picture, when not read row by row ...
    QPoint wholeAt;                       // ... and where its top-left lies on the canvas
    QImage rows;                          // the rows read for the present band
    bool prepared = false;
    bool done = false;
    QString error;

    bool streamed() const { return reader != nullptr; }
    int top() const { return extent.top(); }
    int bottom() const { return extent.top() + extent.height(); }
};

BandComposer::BandComposer(QSize canvas, QList<Layer> layers, Decoder decoder)
    : m_canvas(canvas)
    , m_decoder(std::move(decoder))
{
    for (Layer& layer : layers) {
        if (layer.box.isEmpty())
            continue;
        auto source = std::make_unique<Source>();
        source->layer = std::move(layer);
        m_sources.push_back(std::move(source));
    }
}

BandComposer::~BandComposer() = default;

IoStatus BandComposer::open()
{
    const QRect canvas(QPoint(0, 0), m_canvas);
    QRegion opaque, covered;
    for (const std::unique_ptr<Source>& owned : m_sources) {
        Source& source = *owned;
        const Layer& layer = source.layer;
        if (!layer.image.isNull()) {
            source.opaque = !layer.image.hasAlphaChannel();
        } else {
            auto reader = std::make_unique<PngRowReader>();
            const IoResult<bool> opened = reader->open(layer.file);
            if (!opened.ok())
                return IoStatus::failure(opened.error);
            if (opened.value) {
                source.opaque = reader->opaque();
                if (layer.angle == 0.0f && reader->size() == layer.box.size())
                    source.reader = std::move(reader);
            } else {
                source.opaque = opaqueByHeader(layer.file);
            }
        }
        if (layer.angle == 0.0f) {
            source.extent = layer.box;
            if (source.opaque)
                opaque += layer.box;
        } else {
            source.extent =
                turnedBounds(layer.box.size(), layer.angle).translated(layer.box.topLeft());
        }
        covered += source.extent;
        source.extent &= canvas;
    }
    if (QRegion(canvas).subtracted(opaque).isEmpty())
        m_alpha = PngStreamWriter::Alpha::Opaque;
    else if (!QRegion(canvas).subtracted(covered).isEmpty())
        m_alpha = PngStreamWriter::Alpha::Translucent;
    else
        m_alpha = PngStreamWriter::Alpha::Unknown;
    return ioDone();
}

IoStatus BandComposer::prepare(Source& source)
{
    source.prepared = true;
    if (source.streamed())
        return ioDone();
    const Layer& layer = source.layer;
    QImage picture = layer.image;
    if (picture.isNull()) {
        IoResult<QImage> decoded = m_decoder(layer.file);
        if (!decoded.ok())
            return IoStatus::failure(decoded.error);
        picture = std::move(decoded.value);
    }
    if (layer.angle != 0.0f) {
        source.whole = turnedOnCanvas(Rendition::scaled(picture, layer.box.size()), layer.box,
                                      layer.angle, source.extent);
        source.wholeAt = QPoint(0, source.extent.top());
    } else {
        source.whole = picture.size() != layer.box.size()
                           ? Rendition::scaled(picture, layer.box.size())
                           : std::move(picture);
        source.wholeAt = layer.box.topLeft();
    }
    if (source.whole.isNull())
        return IoStatus::failure(tr("内存不足, 无法拼接图片"));
    return ioDone();
}

IoStatus BandComposer::compose(QImage& band)
{
    const int first = m_rowsDone, end = m_rowsDone + band.height();
    if (band.width() != m_canvas.width() || band.height() <= 0 || end > m_canvas.height() ||
        band.format() != QImage::Format_ARGB32_Premultiplied)
        return IoStatus::failure(tr("拼接图片的行与画布大小不符"));
    const auto crosses = [first, end](const Source& source) {
        return !source.done && source.top() < end && source.bottom() > first;
    };

    // Pictures the band reaches for the first time are made ready, those
    // decoded whole several at once, and the rows of the band are read from
    // the others, several pictures at once.
    std::vector<Source*> work;
    for (const std::unique_ptr<Source>& source : m_sources)
        if (crosses(*source) && (!source->prepared || source->streamed()))
            work.push_back(source.get());
    parallelFor(int(work.size()), [&](int i) {
        Source& source = *work[size_t(i)];
        IoStatus status = source.prepared ? ioDone() : prepare(source);
        if (status.ok() && source.streamed()) {
            const int from = std::max(first, source.top()), to = std::min(end, source.bottom());
            if (source.rows.height() < to - from)
                source.rows =
                    QImage(source.reader->size().width(), band.height(), source.reader->format());
            status = source.rows.isNull() ? IoStatus::failure(tr("内存不足, 无法拼接图片"))
                                          : source.reader->read(source.rows, to - from);
        }
        source.error = status.error;
    });
    for (Source* source : work)
        if (!source->error.isEmpty())
            return IoStatus::failure(source->error);

    band.fill(Qt::transparent);
    QPainter painter(&band);
    for (const std::unique_ptr<Source>& owned : m_sources) {
        Source& source = *owned;
        if (!crosses(source))
            continue;
        const int from = std::max(first, source.top()), to = std::min(end, source.bottom());
        if (source.streamed())
            painter.drawImage(QPoint(source.layer.box.x(), from - first), source.rows,
                              QRect(0, 0, source.rows.width(), to - from));
        else
            painter.drawImage(QPoint(source.extent.x(), from - first), source.whole,
                              QRect(source.extent.x() - source.wholeAt.x(),
                                    from - source.wholeAt.y(), source.extent.width(), to - from));
    }
    painter.end();
    // What the band has finished with is let go.
    for (const std::unique_ptr<Source>& source : m_sources) {
        if (!source->done && source->prepared && source->bottom() <= end) {
            source->done = true;
            source->whole = QImage();
            source->rows = QImage();
            source->reader.reset();
        }
    }
    m_rowsDone = end;
    return ioDone();
}
