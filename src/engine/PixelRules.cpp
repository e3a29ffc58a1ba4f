#include "PixelRules.h"

#include "LargeBuffer.h"
#include "ParallelFor.h"
#include "ProgressMeter.h"

#include <QThread>
#include <QtEndian>

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace PixelRules {

namespace {

// Pictures below this many pixels are done on the calling thread alone:
// starting a thread would cost more than it saves.
constexpr qint64 SmallPicture = qint64(1) << 16;
constexpr int MaxThreads = 8;

constexpr QRgb Opaque = 0xFF000000u;

// A pixel with no coverage at all reads as black.
inline QRgb readable(QRgb pixel)
{
    return qAlpha(pixel) == 0 ? 0u : pixel;
}

inline QRgb inverted(QRgb pixel)
{
    return Opaque | (~pixel & 0x00FFFFFFu);
}

inline QRgb greyPixel(int v)
{
    return Opaque | (QRgb(v) << 16) | (QRgb(v) << 8) | QRgb(v);
}

inline bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

// The grey of the ordinary rule: green first, then red, then blue.
inline int greyOf(QRgb p)
{
    return int(qGreen(p) * 0.587 + qRed(p) * 0.299 + qBlue(p) * 0.114);
}

// ---- print-output jobs

inline QRgb whiteBackColour(QRgb p)
{
    return isGrey(p) ? inverted(p) : (p | Opaque);
}

inline QRgb cadGrey1(QRgb p)
{
    return greyPixel(greyOf(inverted(p)));
}

inline QRgb ordinaryGrey(QRgb p)
{
    return greyPixel(greyOf(p));
}

// Blue weighs most here; bright coloured pixels get a lighter blue weight and
// so come out darker than the others.
inline QRgb cadGrey2(QRgb p)
{
    if (isGrey(p))
        p = inverted(p);
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    const bool plain = (r <= 168 && g <= 168) || r == g || r == b;
    const int v =
        plain ? int(b * 0.587 + r * 0.299 + g * 0.114) : int(b * 0.211 + r * 0.299 + g * 0.114);
    return greyPixel(v);
}

template<typename Visit>
void visitJobRule(OutputJob job, Visit&& visit)
{
    switch (job) {
        case OutputJob::WhiteBackColour:
            visit([](QRgb p) { return whiteBackColour(readable(p)); });
            break;
        case OutputJob::CadGrey1: visit([](QRgb p) { return cadGrey1(readable(p)); }); break;
        case OutputJob::Grey: visit([](QRgb p) { return ordinaryGrey(readable(p)); }); break;
        case OutputJob::CadGrey2: visit([](QRgb p) { return cadGrey2(readable(p)); }); break;
        default: visit([](QRgb p) { return readable(p) | Opaque; }); break;
    }
}

// ---- filters

inline QRgb removeBlue(QRgb p)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (r < b && g < b && b >= 64 && double(r) / double(b) < 0.8)
        return 0xFFFFFFFFu;
    return p;
}

inline int fade(int c)
{
    return int(c * 0.9);
}

inline int brighten(int c)
{
    return qMin(255, int(c * 1.1));
}

inline int posterise(int c, int step)
{
    return qMin(255, step * ((c + 1) / step));
}

template<typename Channel>
inline QRgb eachChannel(QRgb p, Channel channel)
{
    return qRgb(channel(qRed(p)), channel(qGreen(p)), channel(qBlue(p)));
}

inline bool inRange(QRgb p, const std::array<uchar, 6>& range)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    return range[0] < r && r < range[1] && range[2] < g && g < range[3] && range[4] < b &&
           b < range[5];
}

template<typename Visit>
void visitFilterRule(FilterCode code, const FilterSettings& settings, Visit&& visit)
{
    const int step = qMax(1, settings.step);
    const std::array<uchar, 6> range = settings.range;
    const QRgb replacement = colorRefToRgb(settings.replacement);
    switch (code) {
        case FilterCode::RemoveBlue: visit([](QRgb p) { return removeBlue(readable(p)); }); break;
        case FilterCode::Invert: visit([](QRgb p) { return inverted(readable(p)); }); break;
        case FilterCode::Fade: visit([](QRgb p) { return eachChannel(readable(p), fade); }); break;
        case FilterCode::Brighten:
            visit([](QRgb p) { return eachChannel(readable(p), brighten); });
            break;
        case FilterCode::Grey: visit([](QRgb p) { return ordinaryGrey(readable(p)); }); break;
        case FilterCode::Posterise:
            visit([step](QRgb p) {
                return eachChannel(readable(p), [step](int c) { return posterise(c, step); });
            });
            break;
        case FilterCode::ReplaceBackground:
            visit([range, replacement](QRgb p) {
                p = readable(p);
                return inRange(p, range) ? replacement : p;
            });
            break;
        default: visit([](QRgb p) { return readable(p); }); break;
    }
}

// ---- result pictures

// A new picture for a result. Large ones go to the platform's large buffers,
// which sit on huge pages where the system offers them.
QImage newPicture(const QSize& size, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype stride = ((qsizetype(size.width()) * depth + 31) / 32) * 4;
    const size_t bytes = size_t(stride) * size_t(qMax(0, size.height()));
    if (bytes < LargeBuffer::minimumBytes())
        return QImage(size, format);
    void* data = LargeBuffer::allocate(bytes);
    if (!data)
        return QImage(size, format);
    return QImage(
        static_cast<uchar*>(data), size.width(), size.height(), stride, format,
        [](void* block) { LargeBuffer::release(block); }, data);
}

// A copy of the picture's pixels that this code alone holds, made row by row.
QImage ownCopy(const QImage& picture, ProgressMeter* progress, int threads)
{
    QImage copy = newPicture(picture.size(), picture.format());
    if (copy.isNull())
        return {};
    const qsizetype fromStride = picture.bytesPerLine(), toStride = copy.bytesPerLine();
    const qsizetype line = qMin(fromStride, toStride);
    const uchar* from = picture.constBits();
    uchar* to = copy.bits();
    forEachRow(
        picture.height(), qint64(picture.width()) * picture.height(),
        [&](int y) { std::memcpy(to + y * toStride, from + y * fromStride, size_t(line)); },
        progress, threads);
    copy.setColorTable(picture.colorTable());
    return copy;
}

// ---- scanline access

struct Rgb32In
{
    static quint32 raw(const uchar* row, int x) { return reinterpret_cast<const QRgb*>(row)[x]; }
    static QRgb pixel(quint32 raw) { return raw; }
};

struct PremultipliedIn
{
    static quint32 raw(const uchar* row, int x) { return reinterpret_cast<const QRgb*>(row)[x]; }
    static QRgb pixel(quint32 raw) { return qUnpremultiply(raw); }
};

// Bytes R, G, B. The raw value keeps them in memory order; all but the last
// pixel of a row are read as one word (the fourth byte is masked off).
struct Rgb888In
{
    static quint32 raw(const uchar* row, int x)
    {
        const uchar* p = row + 3 * std::ptrdiff_t(x);
        return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16);
    }
    static quint32 rawWord(const uchar* row, int x)
    {
        quint32 word;
        std::memcpy(&word, row + 3 * std::ptrdiff_t(x), sizeof word);
        return qFromLittleEndian(word) & 0x00FFFFFFu;
    }
    static QRgb pixel(quint32 raw)
    {
        return Opaque | ((raw & 0xFFu) << 16) | (raw & 0xFF00u) | ((raw >> 16) & 0xFFu);
    }
};

struct Rgb32Out
{
    static void store(uchar* row, int x, QRgb p) { reinterpret_cast<QRgb*>(row)[x] = p; }
};

struct Rgb888Out
{
    static void store(uchar* row, int x, QRgb p)
    {
        uchar* d = row + 3 * std::ptrdiff_t(x);
        d[0] = uchar(qRed(p));
        d[1] = uchar(qGreen(p));
        d[2] = uchar(qBlue(p));
    }
};

struct GreyOut
{
    static void store(uchar* row, int x, QRgb p) { row[x] = uchar(qBlue(p)); }
};

// One row through the rule. Drawings hold long runs of one colour, so the
// rule is only evaluated when the colour changes.
template<typename In, typename Out, typename Rule>
void mapRow(const uchar* source, uchar* target, int width, const Rule& rule)
{
    if (width <= 0)
        return;
    quint32 lastRaw = In::raw(source, 0);
    QRgb lastPixel = rule(In::pixel(lastRaw));
    auto step = [&](int x, quint32 raw) {
        if (raw != lastRaw) {
            lastRaw = raw;
            lastPixel = rule(In::pixel(raw));
        }
        Out::store(target, x, lastPixel);
    };
    if constexpr (std::is_same_v<In, Rgb888In>) {
        for (int x = 0; x < width - 1; ++x)
            step(x, In::rawWord(source, x));
        step(width - 1, In::raw(source, width - 1));
    } else {
        for (int x = 0; x < width; ++x)
            step(x, In::raw(source, x));
    }
}

// Every row of source through the rule into target (which may be source).
// The row addresses are taken here, on the calling thread: QImage's own
// accessors may detach and are not for concurrent use.
template<typename In, typename Out, typename Rule>
void mapRows(const QImage& source, QImage& target, const Rule& rule, ProgressMeter* progress,
             int threads)
{
    const int width = source.width();
    uchar* targetBits = target.bits();
    const uchar* sourceBits = &source == &target ? targetBits : source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    const qsizetype targetStride = target.bytesPerLine();
    forEachRow(
        source.height(), qint64(width) * source.height(),
        [&](int y) {
            mapRow<In, Out>(sourceBits + y * sourceStride, targetBits + y * targetStride, width,
                            rule);
        },
        progress, threads);
}

template<typename Rule>
QList<QRgb> mappedTable(const QImage& indexed, const Rule& rule)
{
    QList<QRgb> table = indexed.colorTable();
    for (QRgb& colour : table)
        colour = rule(colour);
    return table;
}

// A picture in one of the layouts the row walkers read.
QImage walkable(const QImage& picture)
{
    switch (picture.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_RGB888: return picture;
        default:
            return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                     : QImage::Format_RGB32);
    }
}

template<typename Out, typename Rule>
void mapAnyInput(const QImage& source, QImage& target, const Rule& rule, ProgressMeter* progress,
                 int threads)
{
    switch (source.format()) {
        case QImage::Format_RGB888:
            mapRows<Rgb888In, Out>(source, target, rule, progress, threads);
            break;
        case QImage::Format_ARGB32_Premultiplied:
            mapRows<PremultipliedIn, Out>(source, target, rule, progress, threads);
            break;
        default: mapRows<Rgb32In, Out>(source, target, rule, progress, threads); break;
    }
}

} // namespace

QRgb filterPixel(FilterCode code, QRgb pixel, const FilterSettings& settings)
{
    QRgb result = pixel;
    visitFilterRule(code, settings, [&](const auto& rule) { result = rule(pixel); });
    return result;
}

QRgb outputPixel(OutputJob job, QRgb pixel)
{
    QRgb result = pixel;
    visitJobRule(job, [&](const auto& rule) { result = rule(pixel); });
    return result;
}

bool jobGivesGrey(OutputJob job)
{
    return job == OutputJob::CadGrey1 || job == OutputJob::Grey || job == OutputJob::CadGrey2;
}

int nextPosteriseStep(int step)
{
    return qMin(128, 2 * step);
}

void forEachRow(int height, qint64 pixels, const std::function<void(int)>& row,
                ProgressMeter* progress, int threads)
{
    if (height <= 0)
        return;
    if (threads <= 0)
        threads = pixels < SmallPicture ? 1 : qBound(1, QThread::idealThreadCount(), MaxThreads);
    parallelFor(
        height,
        [&](int y) {
            if (progress)
                progress->atRow(y, height);
            row(y);
        },
        threads);
}

void applyFilter(QImage& picture, FilterCode code, const FilterSettings& settings,
                 ProgressMeter* progress, int threads)
{
    if (picture.isNull())
        return;
    if (picture.format() == QImage::Format_Indexed8) {
        QImage result = picture.isDetached() ? picture : ownCopy(picture, progress, threads);
        visitFilterRule(code, settings, [&](const auto& rule) {
            result.setColorTable(mappedTable(picture, rule));
        });
        picture = result;
        return;
    }
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                    : QImage::Format_RGB32);
    // Shared pixels are read from where they are and written to a new picture.
    QImage result = picture.isDetached() ? picture : newPicture(picture.size(), picture.format());
    if (result.isNull()) {
        picture = QImage();
        return;
    }
    visitFilterRule(code, settings, [&](const auto& rule) {
        mapRows<Rgb32In, Rgb32Out>(picture, result, rule, progress, threads);
    });
    picture = result;
}

void filterRow(FilterCode code, const FilterSettings& settings, QRgb* row, int width)
{
    auto* bytes = reinterpret_cast<uchar*>(row);
    visitFilterRule(code, settings, [&](const auto& rule) {
        mapRow<Rgb32In, Rgb32Out>(bytes, bytes, width, rule);
    });
}

void processOutputRow(OutputJob job, const QRgb* row, uchar* out, int width)
{
    const auto* source = reinterpret_cast<const uchar*>(row);
    visitJobRule(job, [&](const auto& rule) {
        if (jobGivesGrey(job))
            mapRow<Rgb32In, GreyOut>(source, out, width, rule);
        else
            mapRow<Rgb32In, Rgb32Out>(source, out, width, rule);
    });
}

QImage processOutput(const QImage& picture, OutputJob job, ProgressMeter* progress, int threads)
{
    if (picture.isNull())
        return {};
    if (picture.format() == QImage::Format_Indexed8) {
        QImage result = ownCopy(picture, progress, threads);
        visitJobRule(job,
                     [&](const auto& rule) { result.setColorTable(mappedTable(picture, rule)); });
        return result;
    }
    const QImage source = walkable(picture);
    const bool grey = jobGivesGrey(job);
    const QImage::Format format = grey ? QImage::Format_Grayscale8
                                  : source.format() == QImage::Format_RGB888 ? QImage::Format_RGB888
                                                                             : QImage::Format_RGB32;
    QImage result = newPicture(source.size(), format);
    if (result.isNull())
        return {};
    visitJobRule(job, [&](const auto& rule) {
        if (grey)
            mapAnyInput<GreyOut>(source, result, rule, progress, threads);
        else if (format == QImage::Format_RGB888)
            mapRows<Rgb888In, Rgb888Out>(source, result, rule, progress, threads);
        else
            mapAnyInput<Rgb32Out>(source, result, rule, progress, threads);
    });
    return result;
}

} // namespace PixelRules
