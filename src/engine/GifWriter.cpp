#include "GifWriter.h"

#include "ColorQuantizer.h"
#include "IoErrorText.h"

#include <QIODevice>

#include <gif_lib.h>

#include <memory>

namespace {

constexpr int MaxSide = 65535; // the format stores sides in 16 bits

struct ColourMapFree
{
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, ColourMapFree>;

int writeToDevice(GifFileType* gif, const GifByteType* data, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    const qint64 written = device->write(reinterpret_cast<const char*>(data), length);
    return written < 0 ? 0 : int(written);
}

IoStatus fail(const QString& reason)
{
    return IoStatus::failure(reason);
}

QString gifReason(int code)
{
    return GifWriter::tr("GIF 编码失败：%1").arg(IoErrorText::gifReason(code));
}

// The colour table padded with black to a power of two of at least 2 entries.
ColourMap colourMapOf(const QList<QRgb>& table)
{
    int size = 2;
    while (size < table.size())
        size *= 2;
    ColourMap map(GifMakeMapObject(size, nullptr));
    if (!map)
        return map;
    for (int i = 0; i < size; ++i) {
        const QRgb colour = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] = GifColorType{ GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                       GifByteType(qBlue(colour)) };
    }
    return map;
}

int transparentIndex(const QList<QRgb>& table)
{
    for (int i = 0; i < table.size(); ++i) {
        if (qAlpha(table[i]) == 0)
            return i;
    }
    return NO_TRANSPARENT_COLOR;
}

bool putTransparency(GifFileType* gif, int index)
{
    const GraphicsControlBlock control{ DISPOSAL_UNSPECIFIED, false, 0, index };
    GifByteType block[4];
    const size_t length = EGifGCBToExtension(&control, block);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block) == GIF_OK;
}

bool encode(GifFileType* gif, QImage& indexed)
{
    const ColourMap map = colourMapOf(indexed.colorTable());
    if (!map) {
        gif->Error = E_GIF_ERR_NOT_ENOUGH_MEM;
        return false;
    }
    EGifSetGifVersion(gif, true);
    const int width = indexed.width();
    const int height = indexed.height();
    if (EGifPutScreenDesc(gif, width, height, 8, 0, map.get()) != GIF_OK)
        return false;
    const int clear = transparentIndex(indexed.colorTable());
    if (clear != NO_TRANSPARENT_COLOR && !putTransparency(gif, clear))
        return false;
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
        return false;
    for (int y = 0; y < height; ++y) {
        // giflib masks the line in place, so it needs writable pixels.
        if (EGifPutLine(gif, indexed.scanLine(y), width) != GIF_OK)
            return false;
    }
    return true;
}

} // namespace

IoStatus GifWriter::write(const QImage& image, QIODevice* device)
{
    if (image.isNull())
        return fail(GifWriter::tr("没有可写入的图片"));
    if (image.width() > MaxSide || image.height() > MaxSide)
        return fail(GifWriter::tr("GIF 图片的宽和高最多 %1 像素").arg(MaxSide));
    // Indexes past the colour table keep the colour Qt shows for them.
    QImage indexed = ColorQuantizer::quantize(ColorQuantizer::withWholePalette(image), 256);
    if (indexed.isNull())
        return fail(GifWriter::tr("内存不足，无法为 GIF 图片生成调色板"));

    int code = 0;
    GifFileType* gif = EGifOpen(device, writeToDevice, &code);
    if (!gif)
        return fail(gifReason(code));
    const bool encoded = encode(gif, indexed);
    const int encodeCode = gif->Error;
    const bool closed = EGifCloseFile(gif, &code) == GIF_OK;
    if (!encoded)
        return fail(gifReason(encodeCode));
    if (!closed)
        return fail(gifReason(code));
    return ioDone();
}
