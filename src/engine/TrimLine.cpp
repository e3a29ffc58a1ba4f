#include "TrimLine.h"

#include "CanvasMath.h"

void TrimLine::set(const QPoint& viewPoint, TrimMode mode, float zoom, const QPoint& origin)
{
    m_stored = QPoint(truncToInt(float(qint64(viewPoint.x()) - origin.x()) * zoom),
                      truncToInt(float(qint64(viewPoint.y()) - origin.y()) * zoom));
    m_mode = mode;
}

QPoint TrimLine::screenPoint(float zoom, const QPoint& origin) const
{
    return QPoint(saturateToInt(qint64(truncToInt(float(m_stored.x()) / zoom)) + origin.x()),
                  saturateToInt(qint64(truncToInt(float(m_stored.y()) / zoom)) + origin.y()));
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
