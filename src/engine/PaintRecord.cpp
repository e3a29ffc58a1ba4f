#include "PaintRecord.h"

void PaintRecord::reset()
{
    m_handles.fill(QRect());
    m_drawn = QRect();
    m_drawnValid = false;
}

void PaintRecord::setHandles(const QRect& box)
{
    const int x = box.x(), y = box.y(), w = box.width(), h = box.height();
    const auto square = [](int cx, int cy) { return QRect(cx - 6, cy - 6, 12, 12); };
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
        if (r.width() > 0 && x >= r.x() && x < r.x() + r.width() && y >= r.y() &&
            y < r.y() + r.height())
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
    const int left = qMin(m_drawn.x(), box.x());
    const int top = qMin(m_drawn.y(), box.y());
    const int right = qMax(m_drawn.x() + m_drawn.width(), box.x() + box.width());
    const int bottom = qMax(m_drawn.y() + m_drawn.height(), box.y() + box.height());
    m_drawn = QRect(left, top, right - left, bottom - top);
}
