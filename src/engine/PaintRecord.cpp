#include "PaintRecord.h"

#include "CanvasMath.h"

void PaintRecord::reset()
{
    m_handles.fill(QRect());
    m_drawn = QRect();
    m_drawnValid = false;
}

void PaintRecord::setHandles(const QRect& box)
{
    // In 64 bits: a box at the end of the int range keeps its squares there.
    const qint64 x = box.x(), y = box.y(), w = box.width(), h = box.height();
    const auto square = [](qint64 cx, qint64 cy) { return boundedRect(cx - 6, cy - 6, 12, 12); };
    m_handles[0] = square(x, y + h / 2);
    m_handles[1] = square(x + w, y + h / 2);
    m_handles[2] = square(x + w / 2, y);
    m_handles[3] = square(x + w / 2, y + h);
}

GrabHandle PaintRecord::hitTest(int x, int y) const
{
    static constexpr GrabHandle codes[HandleCount] = { GrabHandle::Left, GrabHandle::Right,
                                                       GrabHandle::Top, GrabHandle::Bottom };
    GrabHandle hit = GrabHandle::None;
    for (size_t i = 0; i < m_handles.size(); ++i) {
        const QRect& r = m_handles[i];
        if (r.width() > 0 && x >= r.x() && qint64(x) < qint64(r.x()) + r.width() && y >= r.y() &&
            qint64(y) < qint64(r.y()) + r.height())
            hit = codes[i];
    }
    return hit;
}

void PaintRecord::addDrawn(const QRect& box)
{
    // Kept as edges, so that empty boxes still widen the bounds.
    if (!m_drawnValid) {
        m_drawn = QRect(box.topLeft(), QSize(box.width(), box.height()));
        m_drawnValid = true;
        return;
    }
    // In 64 bits, cut to what a rectangle holds: boxes at both ends of the
    // int range span more than it.
    const qint64 left = qMin(m_drawn.x(), box.x());
    const qint64 top = qMin(m_drawn.y(), box.y());
    const qint64 right = qMax(qint64(m_drawn.x()) + m_drawn.width(), qint64(box.x()) + box.width());
    const qint64 bottom =
        qMax(qint64(m_drawn.y()) + m_drawn.height(), qint64(box.y()) + box.height());
    m_drawn = boundedRect(left, top, right - left, bottom - top);
}
