// Composing every canvas picture into one joined picture.
#include "CImgJoinEngine.h"

#include "ImageCodec.h"
#include "Rendition.h"

#include <QDir>
#include <QPainter>
#include <QRegion>
#include <QThread>

// Decodes the next pictures from layer `from` on, on all cores, unless the
// first of them is decoded already. As many are taken as fit in half the
// picture memory budget by their headers (3 bytes a pixel, the compact form
// of a capture), so that none is pushed out before it is drawn.
void CImgJoinEngine::decodeAhead(qsizetype from)
{
    const QList<JoinPicture>& layers = m_canvas.pictures();
    if (m_imageCache.isFresh(layers.at(from).file))
        return;
    QStringList files;
    const qsizetype most = qMax(2, QThread::idealThreadCount()) * 2;
    qint64 bytes = 0;
    for (qsizetype i = from; i < layers.size() && files.size() < most; ++i) {
        const IoResult<QSize> size = m_imageCache.size(layers.at(i).file);
        const qint64 estimate =
            size.ok() ? qint64(size.value.width()) * size.value.height() * 3 : 0;
        if (!files.isEmpty() && bytes + estimate > m_imageCache.budget() / 2)
            break;
        bytes += estimate;
        files << layers.at(i).file;
    }
    m_imageCache.preload(files);
}

QImage CImgJoinEngine::RenderJoinedPicture()
{
    if (m_canvas.isEmpty() || refusedWhileBusy())
        return {};
    const QList<JoinPicture>& pictures = m_canvas.pictures();
    // In 64 bits: a box near the end of the int range must not wrap round.
    qint64 minX = pictures.first().x, minY = pictures.first().y;
    qint64 maxRight = 0, maxBottom = 0;
    for (const JoinPicture& picture : pictures) {
        minX = qMin(minX, qint64(picture.x));
        minY = qMin(minY, qint64(picture.y));
        maxRight = qMax(maxRight, qint64(picture.x) + picture.width);
        maxBottom = qMax(maxBottom, qint64(picture.y) + picture.height);
    }
    const qint64 width = maxRight - minX, height = maxBottom - minY;
    if (width <= 0 || height <= 0)
        return {};
    if (width > ImageCodec::MaxPixels || height > ImageCodec::MaxPixels ||
        width * height > ImageCodec::MaxPixels) {
        report(tr("拼接图片太大(%1 x %2)").arg(width).arg(height));
        return {};
    }
    QImage canvas(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        report(tr("内存不足, 无法拼接图片"));
        return {};
    }
    canvas.fill(Qt::transparent);
    // Where opaque pictures lie unturned: once they cover the whole canvas,
    // no pixel can be transparent, and the writers need not look for one.
    QRegion opaque;
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QList<JoinPicture>& layers = m_canvas.pictures();
    for (qsizetype i = 0; i < layers.size(); ++i) {
        JoinPicture& picture = layers[i];
        if (picture.width <= 0 || picture.height <= 0)
            continue;
        decodeAhead(i);
        const ImageCache::Entry entry = load(picture);
        if (!entry.ok()) {
            if (!entry.decodedNow) // load() has told the user when it read the file now
                report(entry.error);
            report(
                tr("图片 %1 无法读取, 拼接图片未完成").arg(QDir::toNativeSeparators(picture.file)));
            return {};
        }
        const QSize size(picture.width, picture.height);
        QPoint at(int(picture.x - minX), int(picture.y - minY));
        const QImage drawn = Rendition::scaled(entry.image, size);
        if (picture.angle == 0.0f && !drawn.isNull() && !drawn.hasAlphaChannel())
            opaque += QRect(at, size);
        painter.save();
        if (picture.angle != 0.0f) {
            painter.translate(at + QPoint(size.width() / 2, size.height() / 2));
            painter.rotate(picture.angle);
            at = QPoint(-size.width() / 2, -size.height() / 2);
        }
        painter.drawImage(at, drawn);
        painter.restore();
    }
    painter.end();
    // Opaque premultiplied pixels are the same words as RGB32 ones.
    if (QRegion(canvas.rect()).subtracted(opaque).isEmpty())
        canvas.reinterpretAsFormat(QImage::Format_RGB32);
    return canvas;
}

bool CImgJoinEngine::SaveJoinedPicture(const QString& format, const QString& path)
{
    const QImage joined = RenderJoinedPicture();
    if (joined.isNull()) {
        if (!m_canvas.isEmpty() && !m_busy)
            report(tr("没有可保存的拼接图片"));
        return false;
    }
    const IoStatus written = WriteJoinedPicture(joined, format, path);
    if (!written.ok()) {
        report(written.error);
        return false;
    }
    MarkCanvasSaved();
    return true;
}

IoStatus CImgJoinEngine::WriteJoinedPicture(const QImage& joined, const QString& format,
                                            const QString& path)
{
    const ImageCodec::Format encoder = ImageCodec::formatForSuffix(format);
    return ImageCodec::write(joined, path, encoder, ImageCodec::Effort::Normal);
}
