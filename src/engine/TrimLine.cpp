#include "TrimLine.h"

#include "CanvasMath.h"

#include <cmath>

namespace {

// The view offset of a canvas unit, as the canvas maps it.
qint64 viewOffset(int unit, float zoom)
{
    return truncToInt(float(unit) * zoom);
}

// The canvas unit a view offset (from the origin) shows: below 1:1 the first
// of the units that share the view pixel, above it the unit the pixel lies
// in, so that the unit is shown again on that very pixel.
int unitAt(qint64 offset, float zoom)
{
    if (!(zoom > 0.0f) || !std::isfinite(zoom))
        return saturateToInt(offset);
    const int below = truncToInt(std::floor(double(offset) / double(zoom)));
    if (viewOffset(below, zoom) != offset && below < std::numeric_limits<int>::max() &&
        viewOffset(below + 1, zoom) == offset)
        return below + 1;
    return below;
}

} // namespace

void TrimLine::set(const QPoint& viewPoint, TrimMode mode, float zoom, const QPoint& origin)
{
    m_stored = QPoint(unitAt(qint64(viewPoint.x()) - origin.x(), zoom),
                      unitAt(qint64(viewPoint.y()) - origin.y(), zoom));
    m_mode = mode;
}

QPoint TrimLine::screenPoint(float zoom, const QPoint& origin) const
{
    return QPoint(saturateToInt(viewOffset(m_stored.x(), zoom) + origin.x()),
                  saturateToInt(viewOffset(m_stored.y(), zoom) + origin.y()));
}

QRect TrimLine::keptPart(const QRect& box, const QPoint& line) const
{
    QRect kept = box;
    switch (m_mode) {
        case TrimMode::FromBelow: kept.setTop(qMax(box.top(), line.y())); break;
        case TrimMode::FromAbove: kept.setBottom(qMin(box.bottom(), line.y())); break;
        case TrimMode::FromRight: kept.setLeft(qMax(box.left(), line.x())); break;
        case TrimMode::FromLeft: kept.setRight(qMin(box.right(), line.x())); break;
        case TrimMode::None: break;
    }
    return kept.isEmpty() ? QRect() : kept;
}

void TrimLine::beginPaint()
{
    m_kept = QRect();
    m_cut = false;
    m_shown = false;
}

void TrimLine::noteKept(const QRect& box, const QRect& kept)
{
    m_cut = kept != box;
    m_kept = kept;
}

void TrimLine::noteShown(const QPoint& at)
{
    m_shownAt = at;
    m_shown = true;
}
