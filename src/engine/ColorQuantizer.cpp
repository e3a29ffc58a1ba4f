#include "ColorQuantizer.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Colours are binned into 32 x 32 x 32 cells (five bits per channel) for the
// median cut and for the nearest-colour table.
constexpr int CellBits = 5;
constexpr int Side = 1 << CellBits;
constexpr int CellCount = Side * Side * Side;
constexpr QRgb Clear = 0;

QImage argbOf(const QImage& image)
{
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Maps every pixel through key() and gives each distinct result one colour
// table entry; a null image once more than maxColours are needed.
template<typename Key>
QImage indexOver(const QImage& argb, int maxColours, Key key)
{
    QList<QRgb> table;
    QHash<QRgb, int> index;
    const int width = argb.width(), height = argb.height();
    // The colours are counted before the indexed picture is made: for a
    // large picture of many colours, that picture would be memory spent for
    // nothing.
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QRgb last = 0;
        bool haveLast = false;
        for (int x = 0; x < width; ++x) {
            const QRgb colour = key(in[x]);
            if (haveLast && colour == last)
                continue;
            if (!index.contains(colour)) {
                if (table.size() == maxColours)
                    return {};
                index.insert(colour, int(table.size()));
                table.append(colour);
            }
            last = colour;
            haveLast = true;
        }
    }
    QImage out(argb.size(), QImage::Format_Indexed8);
    if (out.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        QRgb last = 0;
        int lastIndex = -1;
        for (int x = 0; x < width; ++x) {
            const QRgb colour = key(in[x]);
            if (lastIndex < 0 || colour != last) {
                last = colour;
                lastIndex = index.value(colour);
            }
            dst[x] = uchar(lastIndex);
        }
    }
    out.setColorTable(table);
    return out;
}

int cellOf(QRgb colour)
{
    constexpr int shift = 8 - CellBits;
    return ((qRed(colour) >> shift) << (2 * CellBits)) | ((qGreen(colour) >> shift) << CellBits) |
           (qBlue(colour) >> shift);
}

struct Cell
{
    qint64 count = 0;
    std::array<qint64, 3> sum{}; // red, green, blue of the pixels in the cell
};

using Histogram = std::vector<Cell>;

QRgb meanOf(qint64 count, const std::array<qint64, 3>& sum)
{
    auto mean = [count](qint64 total) { return int((total + count / 2) / count); };
    return qRgb(mean(sum[0]), mean(sum[1]), mean(sum[2]));
}

// A box of cells, bounds inclusive, per channel.
struct Box
{
    std::array<int, 3> lo{ 0, 0, 0 };
    std::array<int, 3> hi{ Side - 1, Side - 1, Side - 1 };
    qint64 count = 0;
    std::array<qint64, 3> sum{};

    int longestAxis() const
    {
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (hi[a] - lo[a] > hi[axis] - lo[axis])
                axis = a;
        }
        return axis;
    }
    int extent() const { return hi[longestAxis()] - lo[longestAxis()]; }
};

template<typename Visit>
void forEachCell(const Box& box, Visit visit)
{
    for (int r = box.lo[0]; r <= box.hi[0]; ++r) {
        for (int g = box.lo[1]; g <= box.hi[1]; ++g) {
            for (int b = box.lo[2]; b <= box.hi[2]; ++b)
                visit(std::array<int, 3>{ r, g, b }, (r << (2 * CellBits)) | (g << CellBits) | b);
        }
    }
}

// Narrows the box to the cells that hold pixels and totals them.
Box shrunk(const Box& box, const Histogram& histogram)
{
    Box out;
    out.lo = { Side, Side, Side };
    out.hi = { -1, -1, -1 };
    forEachCell(box, [&](const std::array<int, 3>& at, int cell) {
        const Cell& c = histogram[cell];
        if (c.count == 0)
            return;
        out.count += c.count;
        for (int a = 0; a < 3; ++a) {
            out.sum[a] += c.sum[a];
            out.lo[a] = std::min(out.lo[a], at[a]);
            out.hi[a] = std::max(out.hi[a], at[a]);
        }
    });
    return out;
}

// Splits along the longest side where half of the box's pixels lie below.
std::array<Box, 2> split(const Box& box, const Histogram& histogram)
{
    const int axis = box.longestAxis();
    std::array<qint64, Side> slices{};
    forEachCell(box, [&](const std::array<int, 3>& at, int cell) {
        slices[at[axis]] += histogram[cell].count;
    });
    int cut = box.lo[axis];
    qint64 below = slices[cut];
    while (cut + 1 < box.hi[axis] && below * 2 < box.count)
        below += slices[++cut];
    Box low = box;
    Box high = box;
    low.hi[axis] = cut;
    high.lo[axis] = cut + 1;
    return { shrunk(low, histogram), shrunk(high, histogram) };
}

std::vector<Box> medianCut(const Histogram& histogram, int colours)
{
    std::vector<Box> boxes;
    Box all = shrunk(Box{}, histogram);
    if (all.count > 0)
        boxes.push_back(all);
    while (int(boxes.size()) < colours) {
        auto best = boxes.end();
        qint64 bestScore = 0;
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            const qint64 score = it->count * it->extent();
            if (score > bestScore) {
                bestScore = score;
                best = it;
            }
        }
        if (best == boxes.end())
            break;
        const std::array<Box, 2> halves = split(*best, histogram);
        *best = halves[0];
        boxes.push_back(halves[1]);
    }
    return boxes;
}

int nearest(QRgb colour, const QList<QRgb>& palette)
{
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// More colours than the table holds: a median-cut palette over the opaque
// pixels, each pixel mapped through its cell to the entry nearest the cell's
// mean colour.
template<typename Key>
QImage reduce(const QImage& argb, int maxColours, Key key)
{
    Histogram histogram(CellCount);
    bool hasClear = false;
    for (int y = 0, yEnd = argb.height(); y < yEnd; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0, xEnd = argb.width(); x < xEnd; ++x) {
            const QRgb colour = key(in[x]);
            if (colour == Clear) {
                hasClear = true;
                continue;
            }
            Cell& cell = histogram[cellOf(colour)];
            ++cell.count;
            cell.sum[0] += qRed(colour);
            cell.sum[1] += qGreen(colour);
            cell.sum[2] += qBlue(colour);
        }
    }

    QList<QRgb> table;
    for (const Box& box : medianCut(histogram, maxColours - (hasClear ? 1 : 0)))
        table.append(meanOf(box.count, box.sum));
    std::vector<uchar> lookup(CellCount, 0);
    for (int cell = 0; cell < CellCount; ++cell) {
        if (histogram[cell].count > 0)
            lookup[cell] =
                uchar(nearest(meanOf(histogram[cell].count, histogram[cell].sum), table));
    }
    const uchar clearIndex = uchar(table.size());
    if (hasClear)
        table.append(Clear);

    QImage out(argb.size(), QImage::Format_Indexed8);
    if (out.isNull())
        return {};
    for (int y = 0, yEnd = argb.height(); y < yEnd; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0, xEnd = argb.width(); x < xEnd; ++x) {
            const QRgb colour = key(in[x]);
            dst[x] = colour == Clear ? clearIndex : lookup[cellOf(colour)];
        }
    }
    out.setColorTable(table);
    return out;
}

} // namespace

QImage ColorQuantizer::exactIndexed(const QImage& image, int maxColours)
{
    if (image.isNull())
        return {};
    maxColours = std::clamp(maxColours, 1, 256);
    // Premultiplied pixels are read as they are, unpremultiplied one by one,
    // rather than converted as a whole: a joined drawing is large.
    if (image.format() == QImage::Format_ARGB32_Premultiplied)
        return indexOver(image, maxColours, [](QRgb pixel) { return qUnpremultiply(pixel); });
    const QImage argb = argbOf(image);
    const QRgb forcedAlpha = argb.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    return indexOver(argb, maxColours, [forcedAlpha](QRgb pixel) { return pixel | forcedAlpha; });
}

QImage ColorQuantizer::quantize(const QImage& image, int maxColours)
{
    if (image.isNull())
        return {};
    maxColours = std::clamp(maxColours, 2, 256);
    const QImage argb = argbOf(image);
    const QRgb forcedAlpha = argb.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    auto key = [forcedAlpha](QRgb pixel) {
        pixel |= forcedAlpha;
        return qAlpha(pixel) < 128 ? Clear : (pixel | 0xFF000000u);
    };
    QImage exact = indexOver(argb, maxColours, key);
    if (!exact.isNull())
        return exact;
    return reduce(argb, maxColours, key);
}

namespace {

// Whether any of count bytes is limit or more (1 to 255), eight bytes at a
// time: a byte's top bit is set in the flags when it reaches the limit. Below
// 128, the low seven bits plus 128 - limit carry into the top bit exactly
// when they reach the limit, and a byte of 128 or more counts anyway; from
// 129 on, the top bit must be set and the low bits plus 256 - limit carry.
// No sum leaves its byte.
bool anyAtLeast(const uchar* bytes, qsizetype count, int limit)
{
    constexpr quint64 ones = 0x0101010101010101ull;
    constexpr quint64 tops = ones * 0x80, lows = ones * 0x7F;
    const bool small = limit <= 128;
    const quint64 bias = ones * quint64(small ? 128 - limit : 256 - limit);
    qsizetype i = 0;
    quint64 flags = 0;
    if (small) {
        for (; i + 8 <= count && !(flags & tops); i += 8) {
            quint64 word;
            std::memcpy(&word, bytes + i, 8);
            flags = ((word & lows) + bias) | word;
        }
    } else {
        for (; i + 8 <= count && !(flags & tops); i += 8) {
            quint64 word;
            std::memcpy(&word, bytes + i, 8);
            flags = ((word & lows) + bias) & word;
        }
    }
    if (flags & tops)
        return true;
    for (; i < count; ++i) {
        if (bytes[i] >= limit)
            return true;
    }
    return false;
}

// The highest index the picture's pixels use.
int highestIndex(const QImage& indexed)
{
    uchar highest = 0;
    for (int y = 0, yEnd = indexed.height(); y < yEnd; ++y) {
        const uchar* line = indexed.constScanLine(y);
        highest = std::max(highest, *std::max_element(line, line + indexed.width()));
    }
    return highest;
}

} // namespace

QImage ColorQuantizer::withWholePalette(const QImage& image)
{
    const int entries = image.colorCount();
    int used = 0; // entries the pixels need
    switch (image.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB: used = 2; break;
        case QImage::Format_Indexed8: {
            // Every row is checked quickly; the highest index is looked for
            // only in a picture that needs more entries.
            bool beyond = entries == 0;
            for (int y = 0, yEnd = image.height(); y < yEnd && !beyond && entries < 256; ++y)
                beyond = anyAtLeast(image.constScanLine(y), image.width(), entries);
            if (!beyond)
                return image;
            used = highestIndex(image) + 1;
            break;
        }
        default: return image;
    }
    QList<QRgb> table = image.colorTable();
    if (table.size() >= used)
        return image;
    const QRgb missing = image.hasAlphaChannel() ? Clear : qRgb(0, 0, 0);
    table.resize(used, missing);
    QImage whole = image;
    whole.setColorTable(table);
    return whole;
}
