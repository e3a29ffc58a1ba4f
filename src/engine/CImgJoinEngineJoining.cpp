// Composing every canvas picture into one joined picture.
#include "CImgJoinEngine.h"

#include "ImageCodec.h"
#include "Rendition.h"

#include <QPainter>

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
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (JoinPicture& picture : m_canvas.pictures()) {
        const ImageCache::Entry entry = load(picture);
        if (!entry.ok() || picture.width <= 0 || picture.height <= 0)
            continue;
        const QSize size(picture.width, picture.height);
        QPoint at(int(picture.x - minX), int(picture.y - minY));
        painter.save();
        if (picture.angle != 0.0f) {
            painter.translate(at + QPoint(size.width() / 2, size.height() / 2));
            painter.rotate(picture.angle);
            at = QPoint(-size.width() / 2, -size.height() / 2);
        }
        painter.drawImage(at, Rendition::scaled(entry.image, size));
        painter.restore();
    }
    painter.end();
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
    return true;
}

IoStatus CImgJoinEngine::WriteJoinedPicture(const QImage& joined, const QString& format,
                                            const QString& path)
{
    const ImageCodec::Format encoder = ImageCodec::formatForSuffix(format);
    return ImageCodec::write(joined, path, encoder, ImageCodec::Effort::Normal);
}
