#include "Rendition.h"

#include <QPainter>
#include <QTransform>

namespace Rendition {

QImage scaled(const QImage& decoded, const QSize& size)
{
    if (decoded.isNull() || size.isEmpty())
        return {};
    const QImage::Format format =
        decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (decoded.size() == size)
        return decoded.convertToFormat(format);
    // QImage::scaled averages areas when shrinking, so thin drawing lines
    // survive a strong reduction; it needs a 32-bit source.
    const QImage source = decoded.depth() == 32 ? decoded : decoded.convertToFormat(format);
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ignoreAlpha(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0, yEnd = out.height(); y < yEnd; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0, xEnd = out.width(); x < xEnd; ++x)
            line[x] |= 0xFF000000u;
    }
    return out.convertToFormat(QImage::Format_RGB32);
}

QImage opaque(const QImage& decoded, const QSize& size, float angle, const QRect& part)
{
    if (decoded.isNull() || size.isEmpty() || part.isEmpty())
        return {};
    const QRect box(QPoint(0, 0), size);
    const bool wholeBox = part == box;
    // Reductions go through the area-averaging scaler; enlargements (which
    // only happen for parts of large boxes) are left to the painter.
    const bool shrink = size.width() <= decoded.width() && size.height() <= decoded.height();
    if (angle == 0.0f && wholeBox)
        return ignoreAlpha(scaled(decoded, size));

    QImage canvas(part.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(-part.x(), -part.y());
    QRect target(0, 0, size.width(), size.height());
    if (angle != 0.0f) {
        // About the whole-pixel centre, as the joined picture turns, so that
        // the view and the saved join put a turned picture on the same pixels.
        painter.translate(QPoint(size.width() / 2, size.height() / 2));
        painter.rotate(angle);
        target.moveTopLeft(QPoint(-size.width() / 2, -size.height() / 2));
    }
    if (shrink)
        painter.drawImage(target.topLeft(), scaled(decoded, size));
    else
        painter.drawImage(target, decoded);
    painter.end();
    return ignoreAlpha(canvas);
}

QImage screenDoor(const QImage& opaquePart, int partX, int partY, int sourceShift, int width)
{
    const QImage source = opaquePart.convertToFormat(QImage::Format_RGB32);
    QImage out(qMax(width, 0), source.height(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    for (int row = 0, yEnd = out.height(); row < yEnd; ++row) {
        const int boxY = partY + row;
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(row));
        const int odd = boxY & 1;
        // First column whose box x has the row's parity.
        int col = ((partX + boxY) & 1) ? 1 : 0;
        for (; col < width; col += 2) {
            const int sourceCol = col + sourceShift - odd;
            if (sourceCol >= 0 && sourceCol < source.width())
                dst[col] = in[sourceCol] | 0xFF000000u;
        }
    }
    return out;
}

} // namespace Rendition
