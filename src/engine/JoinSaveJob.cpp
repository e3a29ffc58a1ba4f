#include "JoinSaveJob.h"

#include "BandBuffers.h"
#include "PngStreamWriter.h"
#include "ProgressMeter.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString outOfMemory()
{
    return QCoreApplication::translate("JoinSaveJob", "内存不足, 无法拼接图片");
}

// Pictures not at hand are decoded from their files, each once.
IoResult<QImage> decodeWhole(const QString& file)
{
    return ImageCodec::read(file);
}

int filesToDecode(const QList<BandComposer::Layer>& layers)
{
    return int(std::count_if(layers.begin(), layers.end(), [](const BandComposer::Layer& layer) {
        return layer.image.isNull();
    }));
}

} // namespace

int JoinSaveJob::bandRows(int width)
{
    return int(std::clamp<qint64>((qint64(4) << 20) / (qint64(std::max(width, 1)) * 4), 1, 1024));
}

void JoinSaveJob::run()
{
    written = false;
    error.clear();
    if (!valid())
        return;
    if (format != ImageCodec::Format::Png) {
        const QImage joined = composeWhole(canvas, layers, &error, &filesDecoded, progress);
        if (joined.isNull())
            return;
        const IoStatus status = ImageCodec::write(joined, target, format);
        written = status.ok();
        error = status.error;
        return;
    }
    BandComposer composer(canvas, layers, decodeWhole);
    if (IoStatus opened = composer.open(); !opened.ok()) {
        error = opened.error;
        return;
    }
    const IoStatus status = ImageCodec::writeWith(target, [&](QIODevice* device) {
        PngStreamWriter writer(device, canvas, composer.alpha(),
                               ImageCodec::pngLevel(ImageCodec::Effort::Normal));
        const int rows = bandRows(canvas.width());
        BandBuffers buffers;
        for (int y = 0; y < canvas.height(); y += rows) {
            if (progress)
                progress->atRow(y, canvas.height());
            QImage& band = buffers.next(canvas.width(), std::min(rows, canvas.height() - y),
                                        QImage::Format_ARGB32_Premultiplied);
            if (band.isNull())
                return IoStatus::failure(outOfMemory());
            if (IoStatus composed = composer.compose(band); !composed.ok())
                return composed;
            if (IoStatus added = writer.add(band); !added.ok())
                return added;
        }
        return writer.finish();
    });
    filesDecoded = filesToDecode(layers);
    written = status.ok();
    error = status.error;
}

QImage JoinSaveJob::composeWhole(QSize canvas, const QList<BandComposer::Layer>& layers,
                                 QString* error, int* filesDecoded, ProgressMeter* progress)
{
    BandComposer composer(canvas, layers, decodeWhole);
    if (IoStatus opened = composer.open(); !opened.ok()) {
        *error = opened.error;
        return {};
    }
    QImage joined(canvas, QImage::Format_ARGB32_Premultiplied);
    if (joined.isNull()) {
        *error = outOfMemory();
        return {};
    }
    // Band by band into the picture's own rows: only the pictures a band
    // crosses are held besides it.
    const int rows = bandRows(canvas.width());
    for (int y = 0; y < canvas.height(); y += rows) {
        if (progress)
            progress->atRow(y, canvas.height());
        QImage band(joined.scanLine(y), canvas.width(), std::min(rows, canvas.height() - y),
                    joined.bytesPerLine(), QImage::Format_ARGB32_Premultiplied);
        if (IoStatus composed = composer.compose(band); !composed.ok()) {
            *error = composed.error;
            return {};
        }
    }
    if (filesDecoded)
        *filesDecoded = filesToDecode(layers);
    // Opaque premultiplied pixels are the same words as RGB32 ones.
    if (composer.alpha() == PngStreamWriter::Alpha::Opaque)
        joined.reinterpretAsFormat(QImage::Format_RGB32);
    return joined;
}
