#include "PngRowReader.h"

#include "ImageCodec.h"
#include "IoErrorText.h"

#include <QDir>
#include <QtEndian>

PngRowReader::PngRowReader()
    : m_context(nullptr, spng_ctx_free)
{
}

IoResult<bool> PngRowReader::open(const QString& path)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly) || m_file.peek(8) != signature)
        return IoResult<bool>::success(false); // the whole-picture decoder says what is wrong
    // Every chunk's CRC is checked, which catches a damaged file; the
    // checksum of the inflated rows on top would cost a pass over them.
    m_context.reset(spng_ctx_new(SPNG_CTX_IGNORE_ADLER32));
    if (!m_context)
        return IoResult<bool>::failure(
            tr("内存不足, 无法读取 %1").arg(QDir::toNativeSeparators(path)));
    spng_ihdr header = {};
    int code = spng_set_png_stream(m_context.get(), SpngDevice::read, &m_file);
    if (code == 0)
        code = spng_get_ihdr(m_context.get(), &header);
    if (code != 0)
        return IoResult<bool>::failure(failed(code).error);
    if (header.bit_depth > 8 || header.interlace_method != 0 ||
        qint64(header.width) * qint64(header.height) > ImageCodec::MaxPixels)
        return IoResult<bool>::success(false);
    m_size = QSize(int(header.width), int(header.height));
    spng_trns transparency = {};
    const bool hasTrns = spng_get_trns(m_context.get(), &transparency) == 0;
    m_rgb = !hasTrns && header.color_type == SPNG_COLOR_TYPE_TRUECOLOR;
    m_opaque = !hasTrns && (header.color_type == SPNG_COLOR_TYPE_GRAYSCALE ||
                            header.color_type == SPNG_COLOR_TYPE_TRUECOLOR ||
                            header.color_type == SPNG_COLOR_TYPE_INDEXED);
    // The decoder reads on to the first rows now, so that a file broken
    // before them fails here, before anyone sets memory aside for its rows.
    // Plain RGB rows come as they are stored, three bytes a pixel: less for
    // the decoder to write than bytes with an alpha of 255.
    code = spng_decode_image(m_context.get(), nullptr, 0, m_rgb ? SPNG_FMT_RGB8 : SPNG_FMT_RGBA8,
                             SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE);
    if (code != 0)
        return IoResult<bool>::failure(failed(code).error);
    return IoResult<bool>::success(true);
}

IoStatus PngRowReader::read(QImage& into, int rows)
{
    if (!m_context || into.width() != m_size.width() || into.height() < rows ||
        rows > m_size.height() - m_rowsRead || into.format() != format())
        return IoStatus::failure(
            tr("图片文件 %1 的行读取有误").arg(QDir::toNativeSeparators(m_file.fileName())));
    const int width = m_size.width();
    if (m_rgb)
        m_rowBuffer.resize(size_t(width) * 3);
    for (int y = 0; y < rows; ++y) {
        auto* pixels = reinterpret_cast<quint32*>(into.scanLine(y));
        if (m_rgb) {
            const int code =
                spng_decode_row(m_context.get(), m_rowBuffer.data(), m_rowBuffer.size());
            if (code != 0 && code != SPNG_EOI)
                return failed(code);
            const uchar* bytes = m_rowBuffer.data();
            for (int x = 0; x < width; ++x)
                pixels[x] = 0xFF000000u | quint32(bytes[3 * x]) << 16 |
                            quint32(bytes[3 * x + 1]) << 8 | bytes[3 * x + 2];
            continue;
        }
        const int code = spng_decode_row(m_context.get(), pixels, size_t(width) * 4);
        if (code != 0 && code != SPNG_EOI)
            return failed(code);
        // Bytes R, G, B, A to the words 0xAARRGGBB: on a little-endian
        // machine the word read holds 0xAABBGGRR, and red and blue swap.
        for (int x = 0; x < width; ++x) {
            const quint32 word = qFromLittleEndian(pixels[x]);
            pixels[x] = (word & 0xFF00FF00u) | ((word >> 16) & 0xFFu) | ((word & 0xFFu) << 16);
        }
    }
    m_rowsRead += rows;
    if (m_rowsRead == m_size.height()) {
        m_rowBuffer = {};
        m_context.reset();
        m_file.close();
    }
    return ioDone();
}

IoStatus PngRowReader::failed(int code)
{
    QString reason;
    if (code == SPNG_IO_ERROR && m_file.error() != QFileDevice::NoError)
        reason = IoErrorText::reason(m_file.error());
    else
        reason = IoErrorText::pngReason(code);
    return IoStatus::failure(ImageCodec::tr("无法解码图片文件 %1：%2")
                                 .arg(QDir::toNativeSeparators(m_file.fileName()), reason));
}
