#include "FilterRowStream.h"

#include "BandBuffers.h"
#include "ImageCodec.h"
#include "JoinSaveJob.h"
#include "PngRowReader.h"
#include "PngStreamWriter.h"

IoResult<bool> FilterRowStream::run(const QString& input, const QString& output, FilterCode code,
                                    const PixelRules::FilterSettings& settings)
{
    PngRowReader reader;
    const IoResult<bool> opened = reader.open(input);
    if (!opened.ok() || !opened.value)
        return opened;
    const QSize size = reader.size();
    // A filter keeps every pixel's alpha: an opaque picture stays opaque.
    const PngStreamWriter::Alpha alpha =
        reader.opaque() ? PngStreamWriter::Alpha::Opaque : PngStreamWriter::Alpha::Unknown;
    const IoStatus written = ImageCodec::writeWith(output, [&](QIODevice* device) {
        PngStreamWriter writer(device, size, alpha,
                               ImageCodec::pngLevel(ImageCodec::Effort::Normal));
        const int bandRows = JoinSaveJob::bandRows(size.width());
        BandBuffers buffers;
        for (int y = 0; y < size.height(); y += bandRows) {
            QImage& band =
                buffers.next(size.width(), std::min(bandRows, size.height() - y), reader.format());
            if (band.isNull())
                return IoStatus::failure(tr("内存不足, 无法处理图片"));
            if (IoStatus read = reader.read(band, band.height()); !read.ok())
                return read;
            for (int row = 0; row < band.height(); ++row)
                PixelRules::filterRow(code, settings, reinterpret_cast<QRgb*>(band.scanLine(row)),
                                      band.width());
            if (IoStatus added = writer.add(band); !added.ok())
                return added;
        }
        return writer.finish();
    });
    if (!written.ok())
        return IoResult<bool>::failure(written.error);
    return IoResult<bool>::success(true);
}
