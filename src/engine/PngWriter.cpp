#include "PngWriter.h"

#include "ColorQuantizer.h"
#include "IoErrorText.h"
#include "ParallelFor.h"

#include <QFileDevice>
#include <QIODevice>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace {

enum ColourType : uchar
{
    Grey = 0,
    Rgb = 2,
    Palette = 3,
    Rgba = 6
};

constexpr qsizetype IdatChunkBytes = qsizetype(1) << 22;

// What goes into the file, and the picture's rows in a form that is quick to
// turn into PNG samples. The picture's own pixels are read row by row: a
// joined drawing can be most of the memory there is, so it is never copied.
struct Source
{
    QImage image;
    ColourType type = Rgb;
    int channels = 3;
    bool premultiplied = false; // 32-bit rows that need unpremultiplying
};

bool anyTranslucent(const QImage& image)
{
    for (int y = 0, height = image.height(); y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0, width = image.width(); x < width; ++x) {
            if (qAlpha(line[x]) != 255)
                return true;
        }
    }
    return false;
}

Source sourceFor(const QImage& image)
{
    switch (image.format()) {
        case QImage::Format_Indexed8: return { image, Palette, 1, false };
        case QImage::Format_Grayscale8: return { image, Grey, 1, false };
        case QImage::Format_RGB888: return { image, Rgb, 3, false };
        case QImage::Format_RGB32: return { image, Rgb, 3, false };
        case QImage::Format_ARGB32: return { image, Rgba, 4, false };
        case QImage::Format_ARGB32_Premultiplied:
            // Opaque premultiplied pixels are the straight ones.
            if (!anyTranslucent(image))
                return { image, Rgb, 3, false };
            return { image, Rgba, 4, true };
        default: break;
    }
    if (!image.hasAlphaChannel())
        return { image.convertToFormat(QImage::Format_RGB32), Rgb, 3, false };
    return { image.convertToFormat(QImage::Format_ARGB32), Rgba, 4, false };
}

// Row y as PNG samples (without the filter byte).
void samples(const Source& source, int y, uchar* out)
{
    const int width = source.image.width();
    const uchar* line = source.image.constScanLine(y);
    if (source.channels == 1 || source.image.format() == QImage::Format_RGB888) {
        std::memcpy(out, line, std::size_t(width) * std::size_t(source.channels));
        return;
    }
    const auto* pixels = reinterpret_cast<const QRgb*>(line);
    if (source.channels == 3) {
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = uchar(qRed(pixels[x]));
            out[1] = uchar(qGreen(pixels[x]));
            out[2] = uchar(qBlue(pixels[x]));
        }
        return;
    }
    for (int x = 0; x < width; ++x, out += 4) {
        const QRgb pixel = source.premultiplied ? qUnpremultiply(pixels[x]) : pixels[x];
        out[0] = uchar(qRed(pixel));
        out[1] = uchar(qGreen(pixel));
        out[2] = uchar(qBlue(pixel));
        out[3] = uchar(qAlpha(pixel));
    }
}

// Chooses among no filter, Sub and Up the one with the smallest sum of
// absolute values, the usual heuristic; palette and grey rows stay unfiltered.
void filterRow(const Source& source, const uchar* row, const uchar* above, std::size_t length,
               std::vector<uchar>& out)
{
    out.resize(length + 1);
    if (source.channels == 1) {
        out[0] = 0;
        std::memcpy(out.data() + 1, row, length);
        return;
    }
    const std::size_t bpp = std::size_t(source.channels);
    static thread_local std::vector<uchar> sub, up;
    sub.resize(length);
    up.resize(length);
    quint64 sumNone = 0, sumSub = 0, sumUp = 0;
    const auto cost = [](uchar v) { return quint64(v < 128 ? v : 256 - v); };
    for (std::size_t i = 0; i < length; ++i) {
        sub[i] = uchar(row[i] - (i >= bpp ? row[i - bpp] : 0));
        up[i] = uchar(row[i] - (above ? above[i] : 0));
        sumNone += cost(row[i]);
        sumSub += cost(sub[i]);
        sumUp += cost(up[i]);
    }
    const uchar* chosen = row;
    out[0] = 0;
    if (sumSub < sumNone && sumSub <= sumUp) {
        chosen = sub.data();
        out[0] = 1;
    } else if (sumUp < sumNone) {
        chosen = up.data();
        out[0] = 2;
    }
    std::memcpy(out.data() + 1, chosen, length);
}

struct Band
{
    int firstRow = 0;
    int endRow = 0;
    bool last = false;
    QByteArray deflated;
    uLong adler = 1;
    uLong rawLength = 0;
    bool ok = false;
};

void deflateBand(const Source& source, int level, Band& band)
{
    const std::size_t length = std::size_t(source.image.width()) * std::size_t(source.channels);
    std::vector<uchar> row(length), above(length), filtered;
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    if (band.firstRow > 0)
        samples(source, band.firstRow - 1, above.data());
    std::vector<uchar> out(deflateBound(&stream, uLong(length + 1)) + 64);
    bool good = true;
    for (int y = band.firstRow; y < band.endRow && good; ++y) {
        samples(source, y, row.data());
        filterRow(source, row.data(), y > 0 ? above.data() : nullptr, length, filtered);
        band.adler = adler32(band.adler, filtered.data(), uInt(filtered.size()));
        band.rawLength += uLong(filtered.size());
        stream.next_in = filtered.data();
        stream.avail_in = uInt(filtered.size());
        const bool end = y + 1 == band.endRow;
        const int flush = end ? (band.last ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH;
        do {
            stream.next_out = out.data();
            stream.avail_out = uInt(out.size());
            const int status = deflate(&stream, flush);
            good = status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR;
            band.deflated.append(reinterpret_cast<const char*>(out.data()),
                                 qsizetype(out.size() - stream.avail_out));
        } while (good && stream.avail_out == 0);
        row.swap(above);
    }
    if (band.endRow == band.firstRow && band.last) { // an empty last band still closes the stream
        stream.next_out = out.data();
        stream.avail_out = uInt(out.size());
        deflate(&stream, Z_FINISH);
        band.deflated.append(reinterpret_cast<const char*>(out.data()),
                             qsizetype(out.size() - stream.avail_out));
    }
    deflateEnd(&stream);
    band.ok = good;
}

bool writeChunk(QIODevice* device, const char* type, const QByteArray& data)
{
    uchar length[4];
    qToBigEndian(quint32(data.size()), length);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
    uchar crcBytes[4];
    qToBigEndian(quint32(crc), crcBytes);
    return device->write(reinterpret_cast<const char*>(length), 4) == 4 &&
           device->write(type, 4) == 4 && device->write(data) == data.size() &&
           device->write(reinterpret_cast<const char*>(crcBytes), 4) == 4;
}

QByteArray header(const QImage& image, ColourType type)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian(quint32(image.width()), ihdr.data());
    qToBigEndian(quint32(image.height()), ihdr.data() + 4);
    ihdr[8] = 8; // bits per sample
    ihdr[9] = char(type);
    return ihdr; // compression, filter method and interlace all 0
}

bool writePalette(QIODevice* device, const QImage& image)
{
    const QList<QRgb> table = image.colorTable();
    QByteArray plte, trns;
    bool anyAlpha = false;
    for (QRgb colour : table) {
        plte.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
        trns.append(char(qAlpha(colour)));
        anyAlpha = anyAlpha || qAlpha(colour) != 255;
    }
    if (plte.isEmpty())
        plte = QByteArray(3, '\0');
    if (!writeChunk(device, "PLTE", plte))
        return false;
    return !anyAlpha || writeChunk(device, "tRNS", trns);
}

} // namespace

IoStatus PngWriter::write(const QImage& image, QIODevice* device, int level)
{
    const auto fail = [](const QString& why) { return IoStatus::failure(why); };
    if (image.isNull())
        return fail(tr("没有可写入的图片"));
    // The palette written must hold every index the rows use.
    const Source source = sourceFor(ColorQuantizer::withWholePalette(image));
    if (source.image.isNull())
        return fail(tr("内存不足, 无法写入PNG图片"));

    const int height = source.image.height();
    const int threads = std::clamp(std::min(QThread::idealThreadCount(), height / 64), 1, 16);
    std::vector<Band> bands(static_cast<std::size_t>(threads));
    for (int i = 0; i < threads; ++i) {
        bands[std::size_t(i)].firstRow = int(qint64(height) * i / threads);
        bands[std::size_t(i)].endRow = int(qint64(height) * (i + 1) / threads);
        bands[std::size_t(i)].last = i + 1 == threads;
    }
    const int clampedLevel = std::clamp(level, 1, 9);
    parallelFor(threads, [&](int i) { deflateBand(source, clampedLevel, bands[std::size_t(i)]); });
    if (!std::all_of(bands.begin(), bands.end(), [](const Band& b) { return b.ok; }))
        return fail(tr("PNG压缩失败"));

    // The bands go out as they are, one IDAT chunk after another, rather
    // than joined into one stream first: that would hold the whole
    // compressed picture twice.
    uLong adler = 1;
    for (const Band& band : bands)
        adler = adler32_combine(adler, band.adler, z_off_t(band.rawLength));
    uchar check[4];
    qToBigEndian(quint32(adler), check);

    static const char signature[] = "\x89PNG\r\n\x1a\n";
    bool ok = device->write(signature, 8) == 8 &&
              writeChunk(device, "IHDR", header(source.image, source.type));
    if (ok && source.type == Palette)
        ok = writePalette(device, source.image);
    ok = ok && writeChunk(device, "IDAT", QByteArray("\x78\x9C", 2));
    for (const Band& band : bands) {
        for (qsizetype at = 0; ok && at < band.deflated.size(); at += IdatChunkBytes)
            ok = writeChunk(
                device, "IDAT",
                QByteArray::fromRawData(band.deflated.constData() + at,
                                        qMin(IdatChunkBytes, band.deflated.size() - at)));
    }
    ok = ok && writeChunk(device, "IDAT", QByteArray(reinterpret_cast<const char*>(check), 4));
    ok = ok && writeChunk(device, "IEND", QByteArray());
    if (!ok)
        return fail(IoErrorText::writeReason(*device));
    return ioDone();
}
