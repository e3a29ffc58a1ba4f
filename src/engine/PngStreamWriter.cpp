#include "PngStreamWriter.h"

#include "IoErrorText.h"
#include "ParallelFor.h"

#include <QIODevice>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace {

using ColourType = PngStreamWriter::ColourType;

constexpr qsizetype IdatChunkBytes = qsizetype(1) << 22;
// Rows of a band looked at to choose its filter.
constexpr int FilterSampleStep = 16;

enum Filter : uchar
{
    None = 0,
    Sub = 1,
    Up = 2,
    Paeth = 4
};

size_t bytesPerPixel(ColourType type)
{
    switch (type) {
        case ColourType::Palette: return 1;
        case ColourType::Rgb: return 3;
        case ColourType::Rgba: return 4;
    }
    return 4;
}

uchar pngColourType(ColourType type)
{
    switch (type) {
        case ColourType::Palette: return 3;
        case ColourType::Rgb: return 2;
        case ColourType::Rgba: return 6;
    }
    return 6;
}

// Row y of a 32-bit picture as PNG samples, without the filter byte.
void toSamples(const QImage& rows, int y, ColourType type, uchar* out)
{
    const auto* pixels = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
    const int width = rows.width();
    if (type == ColourType::Rgb) {
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = uchar(pixels[x] >> 16);
            out[1] = uchar(pixels[x] >> 8);
            out[2] = uchar(pixels[x]);
        }
        return;
    }
    const QImage::Format format = rows.format();
    for (int x = 0; x < width; ++x, out += 4) {
        QRgb pixel = pixels[x];
        if (format == QImage::Format_ARGB32_Premultiplied)
            pixel = qUnpremultiply(pixel);
        else if (format == QImage::Format_RGB32)
            pixel |= 0xFF000000u;
        out[0] = uchar(pixel >> 16);
        out[1] = uchar(pixel >> 8);
        out[2] = uchar(pixel);
        out[3] = uchar(pixel >> 24);
    }
}

// Branch-free, so that the compiler can work on many bytes at once.
inline uchar paethPredictor(int a, int b, int c)
{
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    const int bOrC = pb <= pc ? b : c;
    return uchar(pa <= pb && pa <= pc ? a : bOrC);
}

// The row filtered (without the filter byte); above may be null at the top.
void filterRow(Filter filter, const uchar* row, const uchar* above, size_t length, size_t bpp,
               uchar* out)
{
    switch (filter) {
        case None: std::memcpy(out, row, length); return;
        case Sub:
            std::memcpy(out, row, std::min(bpp, length));
            for (size_t i = bpp; i < length; ++i)
                out[i] = uchar(row[i] - row[i - bpp]);
            return;
        case Up:
            if (!above) {
                std::memcpy(out, row, length);
                return;
            }
            for (size_t i = 0; i < length; ++i)
                out[i] = uchar(row[i] - above[i]);
            return;
        case Paeth:
            if (!above) {
                filterRow(Sub, row, nullptr, length, bpp, out);
                return;
            }
            for (size_t i = 0; i < std::min(bpp, length); ++i)
                out[i] = uchar(row[i] - above[i]);
            for (size_t i = bpp; i < length; ++i)
                out[i] = uchar(row[i] - paethPredictor(row[i - bpp], above[i], above[i - bpp]));
            return;
    }
}

// The inverse of filterRow, in place; above holds the unfiltered row above.
bool unfilterRow(uchar filter, uchar* row, const uchar* above, size_t length, size_t bpp)
{
    const auto up = [above](size_t i) { return above ? int(above[i]) : 0; };
    switch (filter) {
        case None: return true;
        case Sub:
            for (size_t i = bpp; i < length; ++i)
                row[i] = uchar(row[i] + row[i - bpp]);
            return true;
        case Up:
            for (size_t i = 0; i < length; ++i)
                row[i] = uchar(row[i] + up(i));
            return true;
        case 3: // Average: never written here, understood all the same
            for (size_t i = 0; i < length; ++i)
                row[i] = uchar(row[i] + ((i >= bpp ? row[i - bpp] : 0) + up(i)) / 2);
            return true;
        case Paeth:
            for (size_t i = 0; i < length; ++i)
                row[i] = uchar(row[i] + paethPredictor(i >= bpp ? row[i - bpp] : 0, up(i),
                                                       i >= bpp ? up(i - bpp) : 0));
            return true;
        default: return false;
    }
}

// The usual heuristic, the smallest sum of the filtered bytes taken as
// signed, over every FilterSampleStep-th row: one filter serves the whole
// band, so that filtering costs one pass instead of one for every candidate.
// Unfiltered bytes that repeat the pixel to their left or the one above cost
// nothing, as deflate finds such repeats by itself: drawings on a flat ground
// keep their rows as they are, pictures of smooth shades get a filter.
Filter chooseFilter(const uchar* raw, const std::vector<uchar>& above, int rows, size_t length,
                    size_t bpp)
{
    static constexpr std::array<Filter, 3> filters{ Sub, Up, Paeth };
    std::array<quint64, 3> cost{};
    quint64 unfilteredCost = 0;
    std::vector<uchar> filtered(length);
    const auto magnitude = [](uchar v) { return quint64(v < 128 ? v : 256 - v); };
    for (int y = 0; y < rows; y += FilterSampleStep) {
        const uchar* row = raw + size_t(y) * length;
        const uchar* rowAbove = y > 0 ? row - length : (above.empty() ? nullptr : above.data());
        for (size_t i = 0; i < length; ++i) {
            const bool repeat =
                (i >= bpp && row[i] == row[i - bpp]) || (rowAbove && row[i] == rowAbove[i]);
            unfilteredCost += repeat ? 0 : magnitude(row[i]);
        }
        for (size_t c = 0; c < filters.size(); ++c) {
            filterRow(filters[c], row, rowAbove, length, bpp, filtered.data());
            quint64 sum = 0;
            for (size_t i = 0; i < length; ++i)
                sum += magnitude(filtered[i]);
            cost[c] += sum;
        }
    }
    const size_t best = size_t(std::min_element(cost.begin(), cost.end()) - cost.begin());
    return unfilteredCost <= cost[best] ? None : filters[best];
}

// One deflate stream a thread, reset for every band.
class Deflater
{
public:
    ~Deflater()
    {
        if (m_level >= 0)
            deflateEnd(&m_stream);
    }

    z_stream* stream(int level)
    {
        if (m_level == level)
            return deflateReset(&m_stream) == Z_OK ? &m_stream : nullptr;
        if (m_level >= 0)
            deflateEnd(&m_stream);
        m_level = -1;
        m_stream = z_stream{};
        if (deflateInit2(&m_stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return nullptr;
        m_level = level;
        return &m_stream;
    }

private:
    z_stream m_stream{};
    int m_level = -1;
};

} // namespace

struct PngStreamWriter::Band
{
    ColourType type = ColourType::Rgba;
    int level = 6;
    bool last = false;
    QImage pixels;      // Rgb and Rgba bands
    QByteArray indices; // palette bands: one byte a pixel
    int width = 0;
    int rows = 0;
    std::vector<uchar> above; // samples of the row above the band; empty at the top

    // Filled by compress().
    QByteArray deflated;
    uLong adler = 1;
    uLong rawLength = 0;
    bool ok = false;

    size_t rowBytes() const { return size_t(width) * bytesPerPixel(type); }

    void compress()
    {
        // The work buffers stay with the thread from band to band: fresh
        // memory for every band would cost more in page faults than the
        // filtering itself.
        static thread_local std::vector<uchar> raw, filtered, out;
        const size_t length = rowBytes();
        const size_t bpp = bytesPerPixel(type);
        raw.resize(std::max(raw.size(), length * size_t(rows)));
        if (type == ColourType::Palette)
            std::memcpy(raw.data(), indices.constData(), length * size_t(rows));
        else
            for (int y = 0; y < rows; ++y)
                toSamples(pixels, y, type, raw.data() + size_t(y) * length);
        // Palette rows stay unfiltered: their bytes are no amounts.
        const Filter filter =
            type == ColourType::Palette ? None : chooseFilter(raw.data(), above, rows, length, bpp);
        const size_t filteredBytes = (length + 1) * size_t(rows);
        filtered.resize(std::max(filtered.size(), filteredBytes));
        for (int y = 0; y < rows; ++y) {
            const uchar* row = raw.data() + size_t(y) * length;
            const uchar* rowAbove = y > 0 ? row - length : (above.empty() ? nullptr : above.data());
            uchar* line = filtered.data() + size_t(y) * (length + 1);
            line[0] = filter;
            filterRow(filter, row, rowAbove, length, bpp, line + 1);
        }
        rawLength = uLong(filteredBytes);
        adler = adler32(1, filtered.data(), uInt(filteredBytes));

        static thread_local Deflater deflater;
        z_stream* stream = deflater.stream(level);
        if (!stream)
            return;
        out.resize(std::max(out.size(), size_t(deflateBound(stream, uLong(filteredBytes)) + 16)));
        stream->next_in = filtered.data();
        stream->avail_in = uInt(filteredBytes);
        stream->next_out = out.data();
        stream->avail_out = uInt(out.size());
        const int status = deflate(stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        ok = stream->avail_in == 0 && (status == Z_OK || status == Z_STREAM_END);
        deflated = QByteArray(reinterpret_cast<const char*>(out.data()),
                              qsizetype(out.size() - stream->avail_out));
        pixels = QImage(); // the caller may have the rows back
        indices = QByteArray();
    }

    // The band's pixels back from its compressed rows, as 0xFFRRGGBB (palette
    // and RGB bands: the only ones ever turned into another form).
    // previousRow holds the unfiltered samples of the row above and gets this
    // band's last row.
    QImage restore(const QList<QRgb>& colours, std::vector<uchar>& previousRow) const
    {
        const size_t length = rowBytes();
        const size_t bpp = bytesPerPixel(type);
        std::vector<uchar> filtered((length + 1) * size_t(rows));
        z_stream stream{};
        if (inflateInit2(&stream, -15) != Z_OK)
            return {};
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflated.constData()));
        stream.avail_in = uInt(deflated.size());
        stream.next_out = filtered.data();
        stream.avail_out = uInt(filtered.size());
        const int status = inflate(&stream, Z_SYNC_FLUSH);
        const bool whole = stream.avail_out == 0 && (status == Z_OK || status == Z_STREAM_END);
        inflateEnd(&stream);
        QImage image(width, rows, QImage::Format_RGB32);
        if (!whole || image.isNull())
            return {};
        for (int y = 0; y < rows; ++y) {
            uchar* row = filtered.data() + size_t(y) * (length + 1);
            if (!unfilterRow(row[0], row + 1, previousRow.empty() ? nullptr : previousRow.data(),
                             length, bpp))
                return {};
            previousRow.assign(row + 1, row + 1 + length);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            const uchar* in = row + 1;
            for (int x = 0; x < width; ++x) {
                if (type == ColourType::Palette)
                    out[x] = colours.value(in[x]) | 0xFF000000u;
                else
                    out[x] = qRgb(in[3 * x], in[3 * x + 1], in[3 * x + 2]);
            }
        }
        return image;
    }
};

PngStreamWriter::PngStreamWriter(QIODevice* device, QSize size, Alpha alpha, int level)
    : m_device(device)
    , m_size(size)
    , m_alpha(alpha)
    , m_level(std::clamp(level, 1, 9))
    , m_type(alpha == Alpha::Translucent ? ColourType::Rgba : ColourType::Palette)
{
}

PngStreamWriter::~PngStreamWriter()
{
    for (auto& [band, future] : m_inFlight)
        future.waitForFinished();
}

IoStatus PngStreamWriter::add(const QImage& rows)
{
    if (m_failed)
        return IoStatus::failure(tr("PNG图片的写入已经失败"));
    const QImage::Format format = rows.format();
    if (rows.width() != m_size.width() || rows.height() <= 0 ||
        rows.height() > m_size.height() - m_rowsAdded ||
        (format != QImage::Format_ARGB32_Premultiplied && format != QImage::Format_ARGB32 &&
         format != QImage::Format_RGB32)) {
        m_failed = true;
        return IoStatus::failure(tr("PNG图片的行与图片大小不符"));
    }
    m_rowsAdded += rows.height();

    if (m_alpha == Alpha::Unknown && format != QImage::Format_RGB32) {
        bool translucent = false;
        for (int y = 0; y < rows.height() && !translucent; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
            QRgb all = 0xFFFFFFFFu;
            for (int x = 0, width = rows.width(); x < width; ++x)
                all &= line[x];
            translucent = qAlpha(all) != 255;
        }
        if (translucent) {
            m_alpha = Alpha::Translucent;
            if (IoStatus changed = changeType(ColourType::Rgba); !changed.ok())
                return changed;
        }
    }
    if (m_type == ColourType::Palette) {
        QByteArray indices;
        if (mapToPalette(rows, indices)) {
            auto band = std::make_shared<Band>();
            band->type = ColourType::Palette;
            band->indices = std::move(indices);
            band->width = rows.width();
            band->rows = rows.height();
            band->level = m_level;
            band->last = m_rowsAdded == m_size.height();
            m_inFlight.emplace_back(
                band, QtConcurrent::run(parallelForPool(), [band] { band->compress(); }));
            m_lastRows = rows;
            return collect(false);
        }
        if (IoStatus changed = changeType(ColourType::Rgb); !changed.ok())
            return changed;
    }
    return submit(rows);
}

IoStatus PngStreamWriter::submit(const QImage& rows)
{
    auto band = std::make_shared<Band>();
    band->type = m_type;
    band->pixels = rows;
    band->width = rows.width();
    band->rows = rows.height();
    band->level = m_level;
    band->last = m_rowsAdded == m_size.height();
    if (!m_lastRows.isNull()) {
        band->above.resize(band->rowBytes());
        toSamples(m_lastRows, m_lastRows.height() - 1, m_type, band->above.data());
    }
    m_lastRows = rows;
    m_inFlight.emplace_back(band,
                            QtConcurrent::run(parallelForPool(), [band] { band->compress(); }));
    if (!m_committed &&
        (m_type == ColourType::Rgba || (m_type == ColourType::Rgb && m_alpha == Alpha::Opaque))) {
        if (IoStatus written = commit(); !written.ok())
            return written;
    }
    return collect(false);
}

bool PngStreamWriter::mapToPalette(const QImage& rows, QByteArray& indices)
{
    const int width = rows.width(), height = rows.height();
    indices.resize(qsizetype(width) * height);
    auto* out = reinterpret_cast<uchar*>(indices.data());
    QRgb lastColour = 0;
    int lastIndex = -1;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rows.constScanLine(y));
        for (int x = 0; x < width; ++x, ++out) {
            // Only opaque rows come here: premultiplied or not, the word is the colour.
            const QRgb colour = line[x] | 0xFF000000u;
            if (colour != lastColour || lastIndex < 0) {
                auto found = m_palette.constFind(colour);
                if (found == m_palette.constEnd()) {
                    if (m_colours.size() == 256)
                        return false;
                    found = m_palette.insert(colour, int(m_colours.size()));
                    m_colours.append(colour);
                }
                lastColour = colour;
                lastIndex = found.value();
            }
            *out = uchar(lastIndex);
        }
    }
    return true;
}

IoStatus PngStreamWriter::changeType(ColourType type)
{
    // Nothing is written before the form is settled, so every band so far is
    // held once the workers are done with it.
    if (IoStatus done = collect(true); !done.ok())
        return done;
    const std::vector<BandPtr> held = std::exchange(m_held, {});
    const ColourType from = m_type;
    m_type = type;
    const int rowsAdded = std::exchange(m_rowsAdded, 0);
    m_lastRows = QImage();
    std::vector<uchar> previousRow;
    for (const BandPtr& band : held) {
        const QImage pixels = band->restore(m_colours, previousRow);
        if (pixels.isNull()) {
            m_failed = true;
            return IoStatus::failure(tr("内存不足, 无法写入PNG图片"));
        }
        m_rowsAdded += pixels.height();
        if (IoStatus submitted = submit(pixels); !submitted.ok())
            return submitted;
    }
    m_rowsAdded = rowsAdded;
    if (from == ColourType::Palette) {
        m_palette.clear();
        m_colours.clear();
    }
    return ioDone();
}

IoStatus PngStreamWriter::collect(bool all)
{
    const qsizetype most = qsizetype(std::max(2, parallelForPool()->maxThreadCount())) + 1;
    while (!m_inFlight.empty()) {
        auto& [band, future] = m_inFlight.front();
        if (!all && qsizetype(m_inFlight.size()) <= most && !future.isFinished())
            break;
        future.waitForFinished();
        const BandPtr done = band;
        m_inFlight.pop_front();
        if (!done->ok) {
            m_failed = true;
            return IoStatus::failure(tr("PNG压缩失败"));
        }
        if (IoStatus emitted = emitBand(done); !emitted.ok())
            return emitted;
    }
    return ioDone();
}

IoStatus PngStreamWriter::emitBand(const BandPtr& band)
{
    if (!m_committed) {
        m_held.push_back(band);
        return ioDone();
    }
    m_adler = adler32_combine(m_adler, band->adler, z_off_t(band->rawLength));
    for (qsizetype at = 0; at < band->deflated.size(); at += IdatChunkBytes) {
        const IoStatus written = writeChunk("IDAT", band->deflated.constData() + at,
                                            std::min(IdatChunkBytes, band->deflated.size() - at));
        if (!written.ok())
            return written;
    }
    band->deflated = QByteArray();
    return ioDone();
}

IoStatus PngStreamWriter::commit()
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    if (m_device->write(signature, 8) != 8)
        return failedWrite();
    char header[13] = {};
    qToBigEndian(quint32(m_size.width()), header);
    qToBigEndian(quint32(m_size.height()), header + 4);
    header[8] = 8; // bits per sample; compression, filter method and interlace all 0
    header[9] = char(pngColourType(m_type));
    if (IoStatus written = writeChunk("IHDR", header, 13); !written.ok())
        return written;
    if (m_type == ColourType::Palette) {
        QByteArray plte;
        for (QRgb colour : std::as_const(m_colours))
            plte.append(char(qRed(colour)))
                .append(char(qGreen(colour)))
                .append(char(qBlue(colour)));
        if (plte.isEmpty())
            plte = QByteArray(3, '\0');
        if (IoStatus written = writeChunk("PLTE", plte.constData(), plte.size()); !written.ok())
            return written;
    }
    if (IoStatus written = writeChunk("IDAT", "\x78\x9C", 2); !written.ok())
        return written;
    m_committed = true;
    for (const BandPtr& band : std::exchange(m_held, {})) {
        if (IoStatus emitted = emitBand(band); !emitted.ok())
            return emitted;
    }
    return ioDone();
}

IoStatus PngStreamWriter::finish()
{
    if (m_failed)
        return IoStatus::failure(tr("PNG图片的写入已经失败"));
    if (IoStatus done = collect(true); !done.ok())
        return done;
    if (m_rowsAdded != m_size.height() || m_size.isEmpty()) {
        m_failed = true;
        return IoStatus::failure(tr("PNG图片的行与图片大小不符"));
    }
    if (!m_committed) {
        if (IoStatus written = commit(); !written.ok())
            return written;
    }
    char check[4];
    qToBigEndian(quint32(m_adler), check);
    if (IoStatus written = writeChunk("IDAT", check, 4); !written.ok())
        return written;
    return writeChunk("IEND", nullptr, 0);
}

IoStatus PngStreamWriter::writeChunk(const char* type, const char* data, qsizetype size)
{
    uchar length[4];
    qToBigEndian(quint32(size), length);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0)
        crc = crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(size));
    uchar crcBytes[4];
    qToBigEndian(quint32(crc), crcBytes);
    const bool ok = m_device->write(reinterpret_cast<const char*>(length), 4) == 4 &&
                    m_device->write(type, 4) == 4 &&
                    (size == 0 || m_device->write(data, size) == size) &&
                    m_device->write(reinterpret_cast<const char*>(crcBytes), 4) == 4;
    return ok ? ioDone() : failedWrite();
}

IoStatus PngStreamWriter::failedWrite()
{
    m_failed = true;
    return IoStatus::failure(IoErrorText::writeReason(*m_device));
}
