#include "JpegWriter.h"

#include "IoErrorText.h"

#include <QIODevice>

#include <algorithm>
#include <memory>
#include <turbojpeg.h>

namespace {

// Qt's 32-bit pixels are 0xAARRGGBB words: B, G, R, A in memory on little
// endian machines.
constexpr int Pixel32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

// Written to the device a piece at a time, so a short write shows early.
constexpr qint64 WriteChunkBytes = qint64(1) << 22;

// The picture in a layout TurboJPEG reads, and how to read it.
struct Source
{
    QImage image;
    int pixelFormat = Pixel32;
    int subsampling = TJSAMP_444;
};

bool greyTable(const QImage& image)
{
    const QList<QRgb> table = image.colorTable();
    return !table.isEmpty() && std::all_of(table.begin(), table.end(), [](QRgb colour) {
        return qIsGray(colour) && qAlpha(colour) == 255;
    });
}

Source sourceFor(const QImage& image)
{
    switch (image.format()) {
        // Premultiplied colour channels are the pixel over black already;
        // the alpha byte is skipped.
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32_Premultiplied: return { image, Pixel32, TJSAMP_444 };
        case QImage::Format_RGB888: return { image, TJPF_RGB, TJSAMP_444 };
        case QImage::Format_Grayscale8: return { image, TJPF_GRAY, TJSAMP_GRAY };
        case QImage::Format_Indexed8:
            if (greyTable(image))
                return { image.convertToFormat(QImage::Format_Grayscale8), TJPF_GRAY, TJSAMP_GRAY };
            break;
        default: break;
    }
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return { image.convertToFormat(wanted), Pixel32, TJSAMP_444 };
}

struct HandleCloser
{
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct BufferFreer
{
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

} // namespace

IoStatus JpegWriter::write(const QImage& image, QIODevice* device, int quality)
{
    const auto fail = [](const QString& why) { return IoStatus::failure(why); };
    if (image.isNull())
        return fail(tr("没有可写入的图片"));
    if (image.width() > MaxSide || image.height() > MaxSide)
        return fail(tr("图片太大（%1 × %2 像素），JPG 格式的宽和高最多 %3 像素，请改存为 PNG")
                        .arg(image.width())
                        .arg(image.height())
                        .arg(MaxSide));
    const Source source = sourceFor(image);
    if (source.image.isNull())
        return fail(tr("内存不足, 无法写入JPG图片"));

    const std::unique_ptr<void, HandleCloser> handle(tjInitCompress());
    if (!handle)
        return fail(tr("无法启动JPG压缩"));
    unsigned char* compressed = nullptr;
    unsigned long size = 0;
    const int status = tjCompress2(handle.get(), source.image.constBits(), source.image.width(),
                                   int(source.image.bytesPerLine()), source.image.height(),
                                   source.pixelFormat, &compressed, &size, source.subsampling,
                                   std::clamp(quality, 1, 100), TJFLAG_ACCURATEDCT);
    const std::unique_ptr<unsigned char, BufferFreer> owned(compressed);
    if (status != 0)
        return fail(tr("JPG压缩失败"));

    const char* bytes = reinterpret_cast<const char*>(owned.get());
    for (qint64 at = 0, total = qint64(size); at < total; at += WriteChunkBytes) {
        const qint64 piece = std::min(WriteChunkBytes, total - at);
        if (device->write(bytes + at, piece) != piece)
            return fail(IoErrorText::writeReason(*device));
    }
    return ioDone();
}
