#include "CaptureAligner.h"

#include "ParallelFor.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <numeric>
#include <tuple>
#include <vector>

namespace {

// Reads picture rows as premultiplied 32-bit pixels, whatever the picture's
// format: the cache keeps pictures as 8-bit indexed, grey or 24-bit, and a
// transparent pixel is always 0 so that transparent pixels compare equal.
class Pixels
{
public:
    Pixels() = default;
    explicit Pixels(const QImage& image)
    {
        switch (image.format()) {
            case QImage::Format_RGB32:
            case QImage::Format_ARGB32_Premultiplied:
                m_image = image;
                m_kind = Kind::Direct;
                break;
            case QImage::Format_RGB888:
                m_image = image;
                m_kind = Kind::Rgb888;
                break;
            case QImage::Format_Grayscale8:
                m_image = image;
                m_kind = Kind::Grey;
                break;
            case QImage::Format_Indexed8:
                m_image = image;
                m_kind = Kind::Indexed;
                m_table.assign(256, 0);
                for (int i = 0; i < image.colorCount() && i < 256; ++i)
                    m_table[size_t(i)] = qPremultiply(image.color(i));
                break;
            default:
                m_image = image.convertToFormat(image.hasAlphaChannel()
                                                    ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32);
                m_kind = Kind::Direct;
                break;
        }
        m_alpha = m_image.hasAlphaChannel();
    }

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    QSize size() const { return m_image.size(); }
    bool isNull() const { return m_image.isNull(); }
    bool hasAlpha() const { return m_alpha; }

    // Pixels x0 .. x0 + count - 1 of row y: a pointer into the picture, or
    // into buffer (count pixels) after converting them.
    const quint32* row(int y, int x0, int count, quint32* buffer) const
    {
        const uchar* line = m_image.constScanLine(y);
        switch (m_kind) {
            case Kind::Direct: return reinterpret_cast<const quint32*>(line) + x0;
            case Kind::Rgb888: {
                const uchar* p = line + 3 * qsizetype(x0);
                for (int i = 0; i < count; ++i, p += 3)
                    buffer[i] = 0xff000000u | (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
                return buffer;
            }
            case Kind::Grey: {
                const uchar* p = line + x0;
                for (int i = 0; i < count; ++i)
                    buffer[i] = 0xff000000u | (quint32(p[i]) * 0x010101u);
                return buffer;
            }
            case Kind::Indexed: {
                const uchar* p = line + x0;
                for (int i = 0; i < count; ++i)
                    buffer[i] = m_table[p[i]];
                return buffer;
            }
        }
        return buffer;
    }

private:
    enum class Kind
    {
        Direct,
        Rgb888,
        Grey,
        Indexed
    };
    QImage m_image;
    Kind m_kind = Kind::Direct;
    std::vector<quint32> m_table;
    bool m_alpha = false;
};

bool transparent(quint32 pixel)
{
    return (pixel >> 24) == 0;
}

// ---- hashing of patches -----------------------------------------------------

constexpr int K = CaptureAligner::PatchSize;
constexpr quint64 RowBase = 0x100000001B3ull;         // odd
constexpr quint64 ColumnBase = 0x9E3779B97F4A7C15ull; // odd
// A patch with fewer changes from pixel to pixel along its rows is too
// plain to tell places apart.
constexpr int MinEdges = 6;

constexpr quint64 power(quint64 base, int exponent)
{
    quint64 result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

constexpr quint64 RowBaseK = power(RowBase, K);
constexpr quint64 ColumnBaseK = power(ColumnBase, K);

quint64 mixPixel(quint32 pixel)
{
    return (quint64(pixel) + 0x2545F4914F6CDD1Dull) * 0xBF58476D1CE4E5B9ull;
}

quint64 finish(quint64 h)
{
    h ^= h >> 31;
    h *= 0x94D049BB133111EBull;
    h ^= h >> 29;
    return h;
}

struct Sample
{
    quint64 hash;
    qint32 x;
    qint32 y;
};

// The patches of region whose hash falls in the sample (hash & mask == 0)
// and that occur once only in the region. The choice depends on a patch's
// content alone, so a patch seen in two pictures is chosen in both.
std::vector<Sample> uniquePatches(const Pixels& picture, const QRect& region, quint64 mask,
                                  const std::atomic<bool>* cancel)
{
    std::vector<Sample> samples;
    const int width = region.width();
    const int height = region.height();
    if (width < K || height < K)
        return samples;
    const int across = width - K + 1;
    const bool alpha = picture.hasAlpha();
    std::vector<quint32> buffer(size_t(width), 0);
    std::vector<quint64> rowHash(size_t(K) * across, 0);
    std::vector<quint16> rowEdges(size_t(K) * across, 0);
    std::vector<quint16> rowHoles(alpha ? size_t(K) * across : 0, 0);
    std::vector<quint64> hash(size_t(across), 0);
    std::vector<int> edges(size_t(across), 0);
    std::vector<int> holes(alpha ? size_t(across) : 0, 0);
    std::vector<quint64> mixed(size_t(width), 0);
    for (int y = 0; y < height; ++y) {
        if (cancel && (y & 63) == 0 && cancel->load())
            return {};
        const quint32* p = picture.row(region.y() + y, region.x(), width, buffer.data());
        for (int x = 0; x < width; ++x)
            mixed[size_t(x)] = mixPixel(p[x]);
        const size_t slot = size_t(y % K) * across;
        // The first window of the row, then slide it along.
        quint64 h = 0;
        int e = 0;
        int t = 0;
        for (int x = 0; x < K; ++x) {
            h = h * RowBase + mixed[size_t(x)];
            if (x > 0 && p[x] != p[x - 1])
                ++e;
            if (alpha && transparent(p[x]))
                ++t;
        }
        for (int x = 0; x < across; ++x) {
            if (x > 0) {
                h = h * RowBase - mixed[size_t(x - 1)] * RowBaseK + mixed[size_t(x + K - 1)];
                e += int(p[x + K - 1] != p[x + K - 2]) - int(p[x] != p[x - 1]);
                if (alpha)
                    t += int(transparent(p[x + K - 1])) - int(transparent(p[x - 1]));
            }
            const size_t at = slot + size_t(x);
            // Rows above the top leave zeros in the ring, so the first K rows
            // build the column sums up from nothing.
            hash[size_t(x)] = hash[size_t(x)] * ColumnBase - rowHash[at] * ColumnBaseK + h;
            edges[size_t(x)] += e - rowEdges[at];
            rowHash[at] = h;
            rowEdges[at] = quint16(e);
            if (alpha) {
                holes[size_t(x)] += t - rowHoles[at];
                rowHoles[at] = quint16(t);
            }
        }
        if (y < K - 1)
            continue;
        const int top = y - K + 1;
        for (int x = 0; x < across; ++x) {
            if (edges[size_t(x)] < MinEdges || (alpha && holes[size_t(x)] > 0))
                continue;
            const quint64 patch = finish(hash[size_t(x)]);
            if ((patch & mask) == 0)
                samples.push_back({ patch, x, top });
        }
    }
    // Content that repeats within the picture (grid crossings, walls, empty
    // ground) cannot tell where a place is: only patches seen once stay.
    std::sort(samples.begin(), samples.end(),
              [](const Sample& a, const Sample& b) { return a.hash < b.hash; });
    size_t kept = 0;
    for (size_t i = 0; i < samples.size();) {
        size_t j = i + 1;
        while (j < samples.size() && samples[j].hash == samples[i].hash)
            ++j;
        if (j == i + 1)
            samples[kept++] = samples[i];
        i = j;
    }
    samples.resize(kept);
    return samples;
}

// One patch in every mask + 1 (a power of two) is looked at: enough for a
// few thousand per picture.
quint64 sampleMask(qint64 pixels)
{
    quint64 step = 1;
    while (step < 64 && qint64(step) * 2 * 16384 <= pixels)
        step *= 2;
    return step - 1;
}

// ---- checking an offset -------------------------------------------------------

constexpr qint64 MinMatched = 64;
// Differences are counted in tiles of this side: what the program draws on
// top of a capture (a cursor) fills a few neighbouring tiles, where a wrong
// offset leaves differences all over the overlap.
constexpr int Tile = 32;
// At most this many separate spots of difference, each within a square of
// this many tiles a side: a cursor on each of the two pictures.
constexpr int MaxSpots = 2;
constexpr int MaxSpotSide = 3;

// Whether the tiles with differences gather in a few small spots.
bool fewSmallSpots(std::vector<quint8> tiles, int across, int down)
{
    int spots = 0;
    std::vector<int> stack;
    for (int start = 0; start < across * down; ++start) {
        if (!tiles[size_t(start)])
            continue;
        if (++spots > MaxSpots)
            return false;
        int left = start % across, right = left, top = start / across, bottom = top;
        tiles[size_t(start)] = 0;
        stack.push_back(start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            const int tx = at % across;
            const int ty = at / across;
            left = std::min(left, tx);
            right = std::max(right, tx);
            top = std::min(top, ty);
            bottom = std::max(bottom, ty);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = tx + dx;
                    const int ny = ty + dy;
                    if (nx >= 0 && ny >= 0 && nx < across && ny < down &&
                        tiles[size_t(ny) * across + nx]) {
                        tiles[size_t(ny) * across + nx] = 0;
                        stack.push_back(ny * across + nx);
                    }
                }
        }
        if (right - left >= MaxSpotSide || bottom - top >= MaxSpotSide)
            return false;
    }
    return true;
}

CaptureAligner::Check compare(const Pixels& a, const QRect& ra, const Pixels& b, const QRect& rb,
                              const QPoint& offset, quint32 background)
{
    CaptureAligner::Check check;
    // b's region placed with its top-left at offset in a's region.
    const QRect inA = QRect(QPoint(0, 0), ra.size()).intersected(QRect(offset, rb.size()));
    if (inA.isEmpty())
        return check;
    // An overlap this small says too little about where a picture belongs.
    const qint64 smaller =
        std::min(qint64(ra.width()) * ra.height(), qint64(rb.width()) * rb.height());
    if (qint64(inA.width()) * inA.height() * 25 < smaller)
        return check;
    const int across = (inA.width() + Tile - 1) / Tile;
    const int down = (inA.height() + Tile - 1) / Tile;
    const int tilesAllowed = MaxSpots * MaxSpotSide * MaxSpotSide;
    std::vector<quint8> tiles(static_cast<size_t>(across) * down, 0);
    const qint64 pixelsAllowed = qint64(inA.width()) * inA.height() / 50;
    std::vector<quint32> bufferA(static_cast<size_t>(inA.width()));
    std::vector<quint32> bufferB(static_cast<size_t>(inA.width()));
    const bool holes = a.hasAlpha() || b.hasAlpha();
    for (int y = inA.top(); y <= inA.bottom(); ++y) {
        const quint32* pa = a.row(ra.y() + y, ra.x() + inA.x(), inA.width(), bufferA.data());
        const quint32* pb = b.row(rb.y() + y - offset.y(), rb.x() + inA.x() - offset.x(),
                                  inA.width(), bufferB.data());
        qint64 matched = 0;
        qint64 mismatched = 0;
        qint64 compared = inA.width();
        if (holes) {
            compared = 0;
            for (int x = 0; x < inA.width(); ++x) {
                if (transparent(pa[x]) || transparent(pb[x]))
                    continue;
                ++compared;
                if (pa[x] != pb[x])
                    ++mismatched;
                else if (pa[x] != background)
                    ++matched;
            }
        } else {
            for (int x = 0; x < inA.width(); ++x) {
                mismatched += pa[x] != pb[x];
                matched += pa[x] == pb[x] && pa[x] != background;
            }
        }
        check.matched += matched;
        check.mismatched += mismatched;
        check.overlap += compared;
        if (mismatched > 0) {
            quint8* tileRow = tiles.data() + size_t((y - inA.top()) / Tile) * across;
            for (int x = 0; x < inA.width(); ++x)
                if (pa[x] != pb[x] && !(holes && (transparent(pa[x]) || transparent(pb[x]))) &&
                    !tileRow[x / Tile]) {
                    tileRow[x / Tile] = 1;
                    ++check.mismatchedTiles;
                }
        }
        // Past this many differences the offset is wrong: stop counting.
        if (check.mismatched > pixelsAllowed || check.mismatchedTiles > tilesAllowed)
            return check;
    }
    // A capture matches its neighbour exactly but for what the program drew
    // on top of one of them.
    check.accepted = check.matched >= MinMatched && check.mismatched * 3 <= check.matched &&
                     fewSmallSpots(tiles, across, down);
    if (check.accepted) {
        const double exact = 1.0 - double(check.mismatchedTiles) / double(tilesAllowed + 1);
        check.confidence = exact;
    }
    return check;
}

// The commonest colour of a region, from a sparse sample: the drawing's ground.
quint32 groundColour(const Pixels& picture, const QRect& region)
{
    QHash<quint32, int> counts;
    std::vector<quint32> buffer(size_t(region.width()));
    for (int y = region.top(); y <= region.bottom(); y += 7) {
        const quint32* p = picture.row(y, region.x(), region.width(), buffer.data());
        for (int x = 0; x < region.width(); x += 7)
            ++counts[p[x]];
    }
    quint32 best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    return best;
}

// ---- offsets between pairs --------------------------------------------------------

struct Candidate
{
    int a; // b's region lies at offset in a's region
    int b;
    QPoint offset;
    int votes;
};

struct Edge
{
    int a;
    int b;
    QPoint offset;
    double confidence; // how exact the match is, then how it compares with the others
    qint64 matched;
    double score() const { return confidence * double(matched); }
};

// Equal patches in two pictures vote for the offset between them; per pair
// of pictures the offsets with most votes are the candidates.
std::vector<Candidate> candidates(const std::vector<std::vector<Sample>>& perPicture)
{
    struct Tagged
    {
        quint64 hash;
        qint32 picture;
        qint32 x;
        qint32 y;
    };
    std::vector<Tagged> all;
    size_t total = 0;
    for (const auto& samples : perPicture)
        total += samples.size();
    all.reserve(total);
    for (size_t i = 0; i < perPicture.size(); ++i)
        for (const Sample& s : perPicture[i])
            all.push_back({ s.hash, qint32(i), s.x, s.y });
    std::sort(all.begin(), all.end(), [](const Tagged& l, const Tagged& r) {
        return l.hash != r.hash ? l.hash < r.hash : l.picture < r.picture;
    });

    struct Vote
    {
        qint32 a;
        qint32 b;
        qint32 dx;
        qint32 dy;
        bool operator<(const Vote& o) const
        {
            return std::tie(a, b, dx, dy) < std::tie(o.a, o.b, o.dx, o.dy);
        }
        bool sameOffset(const Vote& o) const
        {
            return a == o.a && b == o.b && dx == o.dx && dy == o.dy;
        }
    };
    // A patch in more pictures than this is common stuff, not a place.
    constexpr size_t MaxSharing = 16;
    std::vector<Vote> votes;
    for (size_t i = 0; i < all.size();) {
        size_t j = i + 1;
        while (j < all.size() && all[j].hash == all[i].hash)
            ++j;
        if (j - i >= 2 && j - i <= MaxSharing)
            for (size_t u = i; u < j; ++u)
                for (size_t v = u + 1; v < j; ++v)
                    votes.push_back({ all[u].picture, all[v].picture, all[u].x - all[v].x,
                                      all[u].y - all[v].y });
        i = j;
    }
    std::sort(votes.begin(), votes.end());

    std::vector<Candidate> result;
    std::vector<Candidate> pair;
    const auto flush = [&result, &pair] {
        std::sort(pair.begin(), pair.end(),
                  [](const Candidate& l, const Candidate& r) { return l.votes > r.votes; });
        // Two matching patches may be chance; three make a candidate, and a
        // rival needs a fair share of the best one's votes.
        for (size_t k = 0; k < pair.size() && k < 3; ++k)
            if (pair[k].votes >= 3 && pair[k].votes * 4 >= pair.front().votes)
                result.push_back(pair[k]);
        pair.clear();
    };
    for (size_t i = 0; i < votes.size();) {
        size_t j = i + 1;
        while (j < votes.size() && votes[j].sameOffset(votes[i]))
            ++j;
        if (!pair.empty() && (pair.front().a != votes[i].a || pair.front().b != votes[i].b))
            flush();
        pair.push_back({ votes[i].a, votes[i].b, QPoint(votes[i].dx, votes[i].dy), int(j - i) });
        i = j;
    }
    flush();
    return result;
}

// The checked offset of each pair; a pair with two offsets that both check
// about as well is ambiguous and gives none.
std::vector<Edge> checkedEdges(const std::vector<Candidate>& found,
                               const std::vector<CaptureAligner::Check>& checks)
{
    std::vector<Edge> edges;
    for (size_t i = 0; i < found.size();) {
        size_t j = i + 1;
        while (j < found.size() && found[j].a == found[i].a && found[j].b == found[i].b)
            ++j;
        const Edge* best = nullptr;
        qint64 runnerUp = 0;
        std::vector<Edge> accepted;
        for (size_t k = i; k < j; ++k)
            if (checks[k].accepted)
                accepted.push_back({ found[k].a, found[k].b, found[k].offset, checks[k].confidence,
                                     checks[k].matched });
        std::sort(accepted.begin(), accepted.end(),
                  [](const Edge& l, const Edge& r) { return l.matched > r.matched; });
        if (!accepted.empty()) {
            best = &accepted.front();
            runnerUp = accepted.size() > 1 ? accepted[1].matched : 0;
            if (best->matched >= 2 * runnerUp)
                edges.push_back(*best);
        }
        i = j;
    }
    return edges;
}

// Places pictures through the most trustworthy checked offsets first, as a
// spanning tree; whether the whole set agrees is checked afterwards.
struct Placement
{
    std::vector<int> component; // per picture: its group's number
    std::vector<QPoint> position;
    std::vector<double> confidence;
};

Placement place(int count, std::vector<Edge> edges)
{
    std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) {
        return l.confidence != r.confidence ? l.confidence > r.confidence : l.matched > r.matched;
    });
    std::vector<int> parent(static_cast<size_t>(count));
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<QPoint> toParent(static_cast<size_t>(count)); // position - parent's position
    const auto find = [&parent, &toParent](int i) {
        // Path compression keeps the offsets to the root.
        std::vector<int> path;
        while (parent[size_t(i)] != i) {
            path.push_back(i);
            i = parent[size_t(i)];
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            const int node = *it;
            const int up = parent[size_t(node)];
            if (up != i) {
                toParent[size_t(node)] += toParent[size_t(up)];
                parent[size_t(node)] = i;
            }
        }
        return i;
    };
    Placement placement;
    placement.confidence.assign(size_t(count), 0.0);
    for (const Edge& edge : edges) {
        const int ra = find(edge.a);
        const int rb = find(edge.b);
        if (ra == rb)
            continue; // the whole set's agreement is checked afterwards
        // position(b) = position(a) + offset
        parent[size_t(rb)] = ra;
        toParent[size_t(rb)] = toParent[size_t(edge.a)] + edge.offset - toParent[size_t(edge.b)];
        placement.confidence[size_t(edge.a)] =
            std::max(placement.confidence[size_t(edge.a)], edge.confidence);
        placement.confidence[size_t(edge.b)] =
            std::max(placement.confidence[size_t(edge.b)], edge.confidence);
    }
    placement.component.assign(size_t(count), 0);
    placement.position.assign(size_t(count), QPoint());
    for (int i = 0; i < count; ++i) {
        placement.component[size_t(i)] = find(i);
        placement.position[size_t(i)] = toParent[size_t(i)];
    }
    return placement;
}

void tell(const CaptureAligner::Options& options, int percent)
{
    if (options.progress)
        options.progress(std::clamp(percent, 0, 99));
}

bool cancelled(const CaptureAligner::Options& options)
{
    return options.cancel && options.cancel->load();
}

// The size most captures have.
QSize commonSize(const QList<QImage>& captures)
{
    QHash<QPair<int, int>, int> counts;
    QSize best;
    int most = 0;
    for (const QImage& capture : captures) {
        if (capture.isNull())
            continue;
        const int n = ++counts[{ capture.width(), capture.height() }];
        if (n > most) {
            most = n;
            best = capture.size();
        }
    }
    return best;
}

// The box of the changed pixels within box.
QRect changedBox(const std::vector<quint8>& changes, int width, const QRect& box)
{
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const quint8* row = changes.data() + size_t(y) * width;
        for (int x = box.left(); x <= box.right(); ++x)
            if (row[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Counts of changed pixels along one direction of box: per row (across
// true: per column).
std::vector<int> changeProfile(const std::vector<quint8>& changes, int width, const QRect& box,
                               bool columns)
{
    std::vector<int> counts(static_cast<size_t>(columns ? box.width() : box.height()), 0);
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const quint8* row = changes.data() + size_t(y) * width;
        for (int x = box.left(); x <= box.right(); ++x)
            if (row[x])
                ++counts[size_t(columns ? x - box.left() : y - box.top())];
    }
    return counts;
}

// The depth of a strip along one edge of a profile that is cut off from the
// rest by at least two lines without a change, no deeper than a sixth of the
// profile; zero when there is none.
int stripDepth(const std::vector<int>& profile, bool fromEnd)
{
    const int n = int(profile.size());
    const auto at = [&](int i) { return profile[size_t(fromEnd ? n - 1 - i : i)]; };
    for (int i = 1; i + 1 < n && i < n / 6; ++i)
        if (at(i) == 0 && at(i + 1) == 0)
            return at(0) == 0 ? 0 : i;
    return 0;
}

// Whether the changes in strip belong to the program rather than the
// drawing: they are much sparser than the drawing's, or they span less
// than half of it across (the coordinates in a status bar).
bool foreignStrip(const std::vector<quint8>& changes, int width, const QRect& box,
                  const QRect& strip, bool columns, const std::vector<int>& profile)
{
    std::vector<int> sorted(profile);
    std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
    const qint64 median = sorted[sorted.size() / 2];
    const QRect spread = changedBox(changes, width, strip);
    const qint64 depth = columns ? strip.width() : strip.height();
    const qint64 total = std::accumulate(
        profile.begin() + (columns ? strip.left() - box.left() : strip.top() - box.top()),
        profile.begin() + (columns ? strip.left() - box.left() : strip.top() - box.top()) + depth,
        qint64(0));
    const bool sparse = total * 4 < median * depth;
    const bool narrow =
        columns ? spread.height() * 2 < box.height() : spread.width() * 2 < box.width();
    return sparse || narrow;
}

// The box less the strips along its edges that hold changing bits of the
// program lying too close to the drawing (a status bar right under it).
QRect withoutForeignStrips(const std::vector<quint8>& changes, int width, QRect box, bool anyStrip)
{
    for (const bool columns : { false, true }) {
        const std::vector<int> profile = changeProfile(changes, width, box, columns);
        int cut[2] = { 0, 0 };
        for (const bool fromEnd : { false, true }) {
            const int depth = stripDepth(profile, fromEnd);
            if (depth == 0)
                continue;
            QRect strip = box;
            if (columns)
                strip = fromEnd ? strip.adjusted(box.width() - depth, 0, 0, 0)
                                : strip.adjusted(0, 0, depth - box.width(), 0);
            else
                strip = fromEnd ? strip.adjusted(0, box.height() - depth, 0, 0)
                                : strip.adjusted(0, 0, 0, depth - box.height());
            if (anyStrip || foreignStrip(changes, width, box, strip, columns, profile))
                cut[fromEnd ? 1 : 0] = depth;
        }
        box = columns ? box.adjusted(cut[0], 0, -cut[1], 0) : box.adjusted(0, cut[0], 0, -cut[1]);
        if (box.isEmpty())
            return box;
    }
    return box;
}

// The drawing area as found from the changes (careful), and the same less
// every strip along its edges that unchanging lines cut off (bold): a
// program may show changing text right beside the drawing that looks like
// drawing (a command line), and the bold area leaves it out for sure.
struct Areas
{
    QRect careful;
    QRect bold;
};

Areas drawingAreas(const std::vector<Pixels>& pictures, const std::vector<int>& group,
                   const std::atomic<bool>* cancel)
{
    if (group.size() < 2)
        return {};
    const Pixels& reference = pictures[size_t(group.front())];
    const int width = reference.width();
    const int height = reference.height();
    // Which pixels differ in some capture from the first.
    std::vector<quint8> changes(size_t(width) * height, 0);
    constexpr int Band = 32;
    parallelFor((height + Band - 1) / Band, [&](int band) {
        if (cancel && cancel->load())
            return;
        std::vector<quint32> bufferA(static_cast<size_t>(width)),
            bufferB(static_cast<size_t>(width));
        for (int y = band * Band; y < std::min(height, (band + 1) * Band); ++y) {
            const quint32* first = reference.row(y, 0, width, bufferA.data());
            quint8* out = changes.data() + size_t(y) * width;
            for (size_t k = 1; k < group.size(); ++k) {
                const quint32* other = pictures[size_t(group[k])].row(y, 0, width, bufferB.data());
                for (int x = 0; x < width; ++x)
                    out[x] |= quint8(first[x] != other[x]);
            }
        }
    });
    // Changes gathered in blocks; the drawing area is the largest group of
    // touching blocks. Changing bits of the program around it (the status
    // bar's coordinates, a highlighted button) lie apart.
    constexpr int Block = 8;
    const int bw = (width + Block - 1) / Block;
    const int bh = (height + Block - 1) / Block;
    std::vector<int> blocks(size_t(bw) * bh, 0); // 1 changed, then a group number + 2
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (changes[size_t(y) * width + x])
                blocks[size_t(y / Block) * bw + x / Block] = 1;
    int bestGroup = -1;
    int bestSize = 0;
    int label = 2;
    std::vector<int> stack;
    for (int start = 0; start < bw * bh; ++start) {
        if (blocks[size_t(start)] != 1)
            continue;
        int size = 0;
        blocks[size_t(start)] = label;
        stack.push_back(start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            ++size;
            const int bx = at % bw;
            const int by = at / bw;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = bx + dx;
                    const int ny = by + dy;
                    if (nx < 0 || ny < 0 || nx >= bw || ny >= bh)
                        continue;
                    int& next = blocks[size_t(ny) * bw + nx];
                    if (next == 1) {
                        next = label;
                        stack.push_back(ny * bw + nx);
                    }
                }
        }
        if (size > bestSize) {
            bestSize = size;
            bestGroup = label;
        }
        ++label;
    }
    if (bestGroup < 0)
        return {};
    // Only the changes in the chosen blocks count from here on.
    for (int y = 0; y < height; ++y) {
        const int* blockRow = blocks.data() + size_t(y / Block) * bw;
        quint8* row = changes.data() + size_t(y) * width;
        for (int x = 0; x < width; ++x)
            row[x] = quint8(row[x] && blockRow[x / Block] == bestGroup);
    }
    const auto narrowed = [&](bool anyStrip) {
        QRect area(0, 0, width, height);
        for (int round = 0; round < 2; ++round) {
            area = changedBox(changes, width, area);
            if (area.isEmpty())
                return QRect();
            // A strip along an edge, cut off by unchanging lines, that looks
            // unlike the drawing is a changing bit of the program that lay too
            // close to it (the coordinates in a status bar right under it).
            area = withoutForeignStrips(changes, width, area, anyStrip);
        }
        area = changedBox(changes, width, area);
        return area.width() < 2 * K || area.height() < 2 * K ? QRect() : area;
    };
    return { narrowed(false), narrowed(true) };
}

// Finds the places of the group's captures within result.area and fills
// them into result.
void placeWithin(const std::vector<Pixels>& pictures, const std::vector<int>& group,
                 const CaptureAligner::Options& options, CaptureAligner::Result& result)
{
    using Check = CaptureAligner::Check;
    // Patches that occur once in each capture.
    const quint64 mask = sampleMask(qint64(result.area.width()) * result.area.height());
    std::vector<std::vector<Sample>> samples(group.size());
    std::atomic<int> hashed{ 0 };
    parallelFor(int(group.size()), [&](int k) {
        if (cancelled(options))
            return;
        samples[size_t(k)] =
            uniquePatches(pictures[size_t(group[size_t(k)])], result.area, mask, options.cancel);
        tell(options, 10 + 60 * ++hashed / int(group.size()));
    });
    if (cancelled(options)) {
        result.cancelled = true;
        return;
    }

    // Candidate offsets, each checked over the whole overlap.
    const std::vector<Candidate> found = candidates(samples);
    tell(options, 72);
    const quint32 background = groundColour(pictures[size_t(group.front())], result.area);
    std::vector<Check> checks(found.size());
    std::atomic<int> checkedCount{ 0 };
    parallelFor(int(found.size()), [&](int k) {
        if (cancelled(options))
            return;
        const Candidate& c = found[size_t(k)];
        checks[size_t(k)] =
            compare(pictures[size_t(group[size_t(c.a)])], result.area,
                    pictures[size_t(group[size_t(c.b)])], result.area, c.offset, background);
        tell(options, 72 + 25 * ++checkedCount / int(found.size()));
    });
    if (cancelled(options)) {
        result.cancelled = true;
        return;
    }

    // Places from the most trustworthy offsets; the largest connected group
    // is the drawing, any other capture is left out.
    const std::vector<Edge> checked = checkedEdges(found, checks);
    // The whole set must agree: every two placed captures that overlap
    // match there, not only those whose offset placed them. A capture
    // placed by a match over plain repeating content (grid and walls
    // alone) disagrees with its other neighbours and is taken out, worst
    // first, until the rest agree.
    const int count = int(group.size());
    std::vector<char> out(static_cast<size_t>(count), 0);
    std::vector<char> disagrees(static_cast<size_t>(count), 0);
    std::vector<double> best(static_cast<size_t>(count), 0.0);
    for (const Edge& edge : checked)
        for (int node : { edge.a, edge.b })
            best[size_t(node)] = std::max(best[size_t(node)], edge.score());
    const qint64 areaPixels = qint64(result.area.width()) * result.area.height();
    Placement placement;
    int largest = 0;
    for (int round = 0; round < count; ++round) {
        std::vector<Edge> edges;
        for (const Edge& edge : checked)
            if (!out[size_t(edge.a)] && !out[size_t(edge.b)])
                edges.push_back(edge);
        placement = place(count, edges);
        std::vector<int> members(static_cast<size_t>(count), 0);
        for (int k = 0; k < count; ++k)
            if (!out[size_t(k)])
                ++members[size_t(placement.component[size_t(k)])];
        largest = int(std::max_element(members.begin(), members.end()) - members.begin());
        if (members[size_t(largest)] < 2)
            break;
        std::vector<std::pair<int, int>> overlapping;
        for (int k = 0; k < count; ++k)
            for (int m = k + 1; m < count; ++m) {
                if (out[size_t(k)] || out[size_t(m)] || placement.component[size_t(k)] != largest ||
                    placement.component[size_t(m)] != largest)
                    continue;
                const QRect shared =
                    QRect(placement.position[size_t(k)], result.area.size())
                        .intersected(QRect(placement.position[size_t(m)], result.area.size()));
                if (qint64(shared.width()) * shared.height() * 25 >= areaPixels)
                    overlapping.emplace_back(k, m);
            }
        std::vector<char> agree(overlapping.size(), 1);
        parallelFor(int(overlapping.size()), [&](int j) {
            const auto [k, m] = overlapping[size_t(j)];
            agree[size_t(j)] =
                compare(pictures[size_t(group[size_t(k)])], result.area,
                        pictures[size_t(group[size_t(m)])], result.area,
                        placement.position[size_t(m)] - placement.position[size_t(k)], background)
                    .accepted;
        });
        std::vector<int> conflicts(static_cast<size_t>(count), 0);
        for (size_t j = 0; j < overlapping.size(); ++j)
            if (!agree[j]) {
                ++conflicts[size_t(overlapping[j].first)];
                ++conflicts[size_t(overlapping[j].second)];
            }
        int worst = -1;
        for (int k = 0; k < count; ++k)
            if (conflicts[size_t(k)] > 0 &&
                (worst < 0 || conflicts[size_t(k)] > conflicts[size_t(worst)] ||
                 (conflicts[size_t(k)] == conflicts[size_t(worst)] &&
                  best[size_t(k)] < best[size_t(worst)])))
                worst = k;
        if (worst < 0)
            break;
        out[size_t(worst)] = 1;
        disagrees[size_t(worst)] = 1;
    }

    // How firmly each capture is tied, against the captures' usual best tie.
    std::vector<double> tied;
    for (double score : best)
        if (score > 0.0)
            tied.push_back(score);
    double usual = 1.0;
    if (!tied.empty()) {
        std::nth_element(tied.begin(), tied.begin() + qsizetype(tied.size() / 2), tied.end());
        usual = std::max(1.0, tied[tied.size() / 2]);
    }
    QPoint least(INT_MAX, INT_MAX);
    QPoint most(INT_MIN, INT_MIN);
    for (int k = 0; k < count; ++k) {
        const int i = group[size_t(k)];
        if (out[size_t(k)] || placement.component[size_t(k)] != largest ||
            placement.confidence[size_t(k)] <= 0.0) {
            const char* why =
                disagrees[size_t(k)] ? QT_TRANSLATE_NOOP("CaptureAligner",
                                                         "与相邻截图的重叠部分不一致, 无法可靠定位")
                : best[size_t(k)] > 0.0
                    ? QT_TRANSLATE_NOOP("CaptureAligner", "只与其他未放置的截图重叠")
                    : QT_TRANSLATE_NOOP("CaptureAligner", "与其他截图没有找到吻合的重叠部分");
            result.whyLeftOut[i] = QCoreApplication::translate("CaptureAligner", why);
            continue;
        }
        result.placed[i] = true;
        // Every overlap of the placed captures matched above, so an offset
        // that lost to another counts no more; a tie much thinner than the
        // usual one lowers the trust.
        result.confidence[i] =
            placement.confidence[size_t(k)] * std::min(1.0, best[size_t(k)] * 4 / usual);
        const QPoint at = placement.position[size_t(k)];
        least = QPoint(std::min(least.x(), at.x()), std::min(least.y(), at.y()));
        most = QPoint(std::max(most.x(), at.x()), std::max(most.y(), at.y()));
    }
    for (int k = 0; k < count; ++k)
        if (result.placed[group[size_t(k)]])
            result.offsets[group[size_t(k)]] = placement.position[size_t(k)] - least;
    if (result.placedCount() > 0)
        result.canvasSize = QSize(most.x() - least.x() + result.area.width(),
                                  most.y() - least.y() + result.area.height());
    tell(options, 99);
}

} // namespace

int CaptureAligner::Result::placedCount() const
{
    return int(placed.count(true));
}

QRect CaptureAligner::findDrawingArea(const QList<QImage>& captures)
{
    const QSize size = commonSize(captures);
    std::vector<Pixels> pictures;
    std::vector<int> group;
    for (const QImage& capture : captures) {
        if (!capture.isNull() && capture.size() == size)
            group.push_back(int(pictures.size()));
        pictures.emplace_back(capture.size() == size ? capture : QImage());
    }
    return drawingAreas(pictures, group, nullptr).careful;
}

CaptureAligner::Result CaptureAligner::align(const QList<QImage>& captures, const Options& options)
{
    Result result;
    const int count = int(captures.size());
    result.placed = QList<bool>(count, false);
    result.offsets = QList<QPoint>(count);
    result.confidence = QList<double>(count, 0.0);
    result.whyLeftOut = QList<QString>(count);

    // Captures of the common size take part; the others are left out.
    const QSize size = commonSize(captures);
    std::vector<Pixels> pictures(static_cast<size_t>(count));
    std::vector<int> group;
    for (int i = 0; i < count; ++i) {
        const QImage& capture = captures.at(i);
        if (capture.isNull())
            result.whyLeftOut[i] = tr("无法读取图片");
        else if (capture.size() != size)
            result.whyLeftOut[i] = tr("大小与其他截图不同");
        else
            group.push_back(i);
    }
    parallelFor(int(group.size()), [&](int k) {
        pictures[size_t(group[size_t(k)])] = Pixels(captures.at(group[size_t(k)]));
    });
    if (group.size() < 2) {
        result.error = tr("至少需要两张大小相同的截图");
        for (int i : group)
            result.whyLeftOut[i] = tr("没有其他大小相同的截图");
        return result;
    }
    tell(options, 1);

    // The drawing area.
    Areas areas;
    if (!options.area.isEmpty()) {
        if (!QRect(QPoint(0, 0), size).contains(options.area)) {
            result.error = tr("给出的绘图区域 (%1,%2,%3,%4) 超出了截图的范围 %5x%6")
                               .arg(options.area.x())
                               .arg(options.area.y())
                               .arg(options.area.width())
                               .arg(options.area.height())
                               .arg(size.width())
                               .arg(size.height());
            return result;
        }
        result.area = options.area;
    } else {
        areas = drawingAreas(pictures, group, options.cancel);
        result.area = areas.careful;
    }
    if (cancelled(options)) {
        result.cancelled = true;
        return result;
    }
    if (result.area.isEmpty()) {
        result.error = tr("截图之间没有变化的区域, 找不到绘图区域");
        return result;
    }
    tell(options, 10);

    // Should the careful area hold changing bits of the program, hardly a
    // capture matches another over it; the bold area is tried when a quarter
    // or more of the captures found no place.
    Result careful = result;
    placeWithin(pictures, group, options, careful);
    if (!options.area.isEmpty() || careful.cancelled || areas.bold.isEmpty() ||
        areas.bold == areas.careful || careful.placedCount() * 4 >= int(group.size()) * 3)
        return careful;
    Result bold = result;
    bold.area = areas.bold;
    placeWithin(pictures, group, options, bold);
    return bold.cancelled || bold.placedCount() <= careful.placedCount() ? careful : bold;
}

bool CaptureAligner::locate(const QImage& picture, const QImage& ground, QPoint& offset,
                            double& confidence)
{
    if (picture.isNull() || ground.isNull())
        return false;
    const Pixels moving(picture);
    const Pixels under(ground);
    const QRect movingBox(QPoint(0, 0), moving.size());
    const QRect groundBox(QPoint(0, 0), under.size());
    const quint64 mask = sampleMask(qint64(picture.width()) * picture.height());
    std::vector<std::vector<Sample>> samples(2);
    parallelFor(2, [&](int k) {
        samples[size_t(k)] = k == 0 ? uniquePatches(under, groundBox, mask, nullptr)
                                    : uniquePatches(moving, movingBox, mask, nullptr);
    });
    const std::vector<Candidate> found = candidates(samples);
    const quint32 background = groundColour(moving, movingBox);
    std::vector<Check> checks(found.size());
    parallelFor(int(found.size()), [&](int k) {
        checks[size_t(k)] =
            compare(under, groundBox, moving, movingBox, found[size_t(k)].offset, background);
    });
    const std::vector<Edge> edges = checkedEdges(found, checks);
    if (edges.empty())
        return false;
    // One picture over one ground: the pair's own checks say how sure it is.
    offset = edges.front().offset;
    confidence = edges.front().confidence;
    return true;
}

CaptureAligner::Check CaptureAligner::verify(const QImage& a, const QImage& b, const QPoint& offset,
                                             QRgb background)
{
    const Pixels pa(a);
    const Pixels pb(b);
    return compare(pa, QRect(QPoint(0, 0), pa.size()), pb, QRect(QPoint(0, 0), pb.size()), offset,
                   qPremultiply(background));
}

QImage CaptureAligner::compose(const QList<QImage>& captures, const Result& result)
{
    if (result.canvasSize.isEmpty() || result.area.isEmpty())
        return {};
    QImage joined(result.canvasSize, QImage::Format_ARGB32_Premultiplied);
    if (joined.isNull())
        return {};
    joined.fill(Qt::transparent);
    {
        QPainter painter(&joined);
        for (qsizetype i = 0; i < captures.size(); ++i)
            if (result.placed.value(i))
                painter.drawImage(result.offsets.at(i), captures.at(i), result.area);
    }
    // Opaque captures that cover the drawing whole give an opaque picture.
    for (int y = 0; y < joined.height(); ++y) {
        const quint32* row = reinterpret_cast<const quint32*>(joined.constScanLine(y));
        for (int x = 0; x < joined.width(); ++x)
            if ((row[x] >> 24) != 0xff)
                return joined;
    }
    return joined.convertToFormat(QImage::Format_RGB32);
}
