#include "PixelJob.h"

#include "ImageCache.h"
#include "ProgressMeter.h"
#include "Rendition.h"

#include <QCoreApplication>
#include <QPainter>

void PixelJob::run()
{
    written = false;
    error.clear();
    if (!valid())
        return;
    if (kind == Kind::Filter) {
        result = renderBox(source, box, angle);
        PixelRules::applyFilter(result, filter, settings, progress);
    } else {
        result = PixelRules::processOutput(source, job, progress);
    }
    if (result.isNull()) {
        error = QCoreApplication::translate("PixelJob", "内存不足, 无法处理图片");
        return;
    }
    // Packed here, on the worker, so that handing the result to the picture
    // cache costs the user-interface thread nothing.
    result = ImageCache::compact(result);
    const IoStatus status = ImageCodec::write(result, target, format, effort);
    written = status.ok();
    error = status.error;
}

QImage PixelJob::renderBox(const QImage& picture, const QSize& box, float angle)
{
    if (picture.isNull() || box.isEmpty())
        return {};
    if (angle == 0.0f && box == picture.size())
        return picture;
    QImage canvas(box, QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return {};
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QPoint at(0, 0);
    if (angle != 0.0f) {
        painter.translate(QPoint(box.width() / 2, box.height() / 2));
        painter.rotate(angle);
        at = QPoint(-box.width() / 2, -box.height() / 2);
    }
    painter.drawImage(at, Rendition::scaled(picture, box));
    painter.end();
    return canvas.convertToFormat(QImage::Format_ARGB32);
}
