#include "PngCropReader.h"

#include "IoErrorText.h"
#include "SpngDevice.h"

#include <QIODevice>

#include <spng.h>

#include <memory>
#include <vector>

using SpngContext = SpngDevice::Context;

std::optional<IoResult<QImage>> PngCropReader::read(QIODevice& device, QSize keep,
                                                    const QString& shownPath)
{
    using Result = IoResult<QImage>;
    const auto failed = [&shownPath](int code) {
        return Result::failure(
            tr("无法解码图片文件 %1：%2").arg(shownPath, IoErrorText::pngReason(code)));
    };
    if (!device.seek(0))
        return std::nullopt;
    SpngContext reader(spng_ctx_new(0), spng_ctx_free);
    if (!reader)
        return Result::failure(tr("内存不足, 无法解码图片文件 %1").arg(shownPath));
    // Chunks whose checksum is wrong fail the read, as in the general decoder.
    spng_set_crc_action(reader.get(), SPNG_CRC_ERROR, SPNG_CRC_ERROR);
    int code = spng_set_png_stream(reader.get(), SpngDevice::read, &device);
    spng_ihdr header = {};
    if (code == 0)
        code = spng_get_ihdr(reader.get(), &header);
    if (code != 0)
        return failed(code);
    // Sixteen-bit samples are rounded, and interlaced rows come in passes:
    // both are left to the general decoder, which keeps its own rules.
    if (header.bit_depth == 16 || header.interlace_method != SPNG_INTERLACE_NONE)
        return std::nullopt;

    const int width = int(header.width), height = int(header.height);
    const int keptWidth = qMin(width, keep.width()), keptHeight = qMin(height, keep.height());
    if (keptWidth <= 0 || keptHeight <= 0)
        return Result::success(QImage());
    QImage kept(keptWidth, keptHeight, QImage::Format_ARGB32);
    if (kept.isNull())
        return Result::failure(tr("内存不足, 无法解码图片文件 %1").arg(shownPath));

    code = spng_decode_image(reader.get(), nullptr, 0, SPNG_FMT_RGBA8,
                             SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE);
    if (code != 0)
        return failed(code);
    std::vector<uchar> row(size_t(width) * 4);
    for (int y = 0; y < keptHeight; ++y) {
        code = spng_decode_row(reader.get(), row.data(), row.size());
        if (code != 0 && !(code == SPNG_EOI && y + 1 == height))
            return failed(code);
        auto* out = reinterpret_cast<QRgb*>(kept.scanLine(y));
        const uchar* in = row.data();
        for (int x = 0; x < keptWidth; ++x, in += 4)
            out[x] = qRgba(in[0], in[1], in[2], in[3]);
    }
    return Result::success(kept);
}
