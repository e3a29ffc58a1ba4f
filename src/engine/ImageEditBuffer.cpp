#include "ImageEditBuffer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

ImageEditBuffer::ImageEditBuffer()
    : m_pattern(PatternSize, PatternSize, QImage::Format_ARGB32_Premultiplied)
    , m_spans(discSpans(0))
{
    m_pattern.fill(Qt::black);
}

void ImageEditBuffer::load(const QImage& rendering, const QPoint& offset)
{
    m_pictureSize = rendering.size();
    m_offset = QPoint(std::max(0, offset.x()), std::max(0, offset.y()));
    m_dirty = false;
    const QSize shown(std::min(m_area.width(), m_pictureSize.width() - m_offset.x()),
                      std::min(m_area.height(), m_pictureSize.height() - m_offset.y()));
    if (shown.width() <= 0 || shown.height() <= 0) {
        m_window = QImage();
        return;
    }
    m_window =
        rendering.copy(QRect(m_offset, shown)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ImageEditBuffer::clear()
{
    m_window = QImage();
    m_offset = QPoint();
    m_pictureSize = QSize();
    m_dirty = false;
}

bool ImageEditBuffer::canScroll(EditScroll step) const
{
    if (isEmpty())
        return false;
    switch (step) {
        case EditScroll::Left: return m_offset.x() > 0;
        case EditScroll::Right: return m_offset.x() + m_area.width() < m_pictureSize.width();
        case EditScroll::Up: return m_offset.y() > 0;
        case EditScroll::Down: return m_offset.y() + m_area.height() < m_pictureSize.height();
    }
    return false;
}

QPoint ImageEditBuffer::scrolled(EditScroll step) const
{
    const int stepX = m_area.width() / 3;
    const int stepY = m_area.height() / 3;
    QPoint next = m_offset;
    switch (step) {
        case EditScroll::Left: next.setX(std::max(0, next.x() - stepX)); break;
        case EditScroll::Right: next.rx() += stepX; break;
        case EditScroll::Up: next.setY(std::max(0, next.y() - stepY)); break;
        case EditScroll::Down: next.ry() += stepY; break;
    }
    return next;
}

void ImageEditBuffer::storeInto(QImage& rendering) const
{
    if (isEmpty())
        return;
    QPainter painter(&rendering);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(m_offset, m_window);
}

void ImageEditBuffer::setPattern(const QImage& pattern)
{
    QImage opaque(PatternSize, PatternSize, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(Qt::black);
    QPainter painter(&opaque);
    painter.drawImage(QPoint(0, 0), pattern.convertToFormat(QImage::Format_RGB32));
    painter.end();
    m_pattern = opaque;
}

void ImageEditBuffer::fillPattern(QRgb colour)
{
    m_pattern.fill(QColor(qRed(colour), qGreen(colour), qBlue(colour)));
}

void ImageEditBuffer::setRadius(int radius)
{
    m_radius = std::max(0, radius);
    m_spans = discSpans(m_radius);
}

ImageEditBuffer::Spans ImageEditBuffer::discSpans(int radius)
{
    Spans spans;
    for (int r = 0; r < PatternSize; ++r) {
        spans[r] = { PatternSize, -1 };
        for (int c = 0; c < PatternSize; ++c) {
            const double dr = r - PatternCentre, dc = c - PatternCentre;
            if (int(std::sqrt(dr * dr + dc * dc)) <= radius) {
                spans[r].first = std::min(spans[r].first, c);
                spans[r].second = c;
            }
        }
    }
    return spans;
}

QRect ImageEditBuffer::paintDab(const QPoint& at)
{
    if (isEmpty())
        return {};
    // The pattern's (0, 0) in window pixels.
    const QPoint corner = at - m_area.topLeft() - QPoint(PatternCentre, PatternCentre);
    QRect changed;
    for (int r = 0; r < PatternSize; ++r) {
        const int y = corner.y() + r;
        auto [first, last] = m_spans[r];
        if (first > last || y < 0 || y >= m_window.height())
            continue;
        first = std::max(first, -corner.x());
        last = std::min(last, m_window.width() - 1 - corner.x());
        if (first > last)
            continue;
        const auto* from = reinterpret_cast<const QRgb*>(m_pattern.constScanLine(r)) + first;
        auto* to = reinterpret_cast<QRgb*>(m_window.scanLine(y)) + corner.x() + first;
        std::memcpy(to, from, sizeof(QRgb) * size_t(last - first + 1));
        changed |= QRect(corner.x() + first, y, last - first + 1, 1);
    }
    if (changed.isEmpty())
        return {};
    m_dirty = true;
    return changed.translated(m_area.topLeft());
}

QRect ImageEditBuffer::paintStroke(const QPoint& from, const QPoint& to)
{
    const int x0 = from.x(), y0 = from.y(), x1 = to.x(), y1 = to.y();
    const int dx = x1 - x0, dy = y1 - y0;
    QRect changed;
    if (dx == 0 && dy == 0)
        return paintDab(from);
    if (std::abs(dx) >= std::abs(dy)) {
        // One dab per column, the rows followed back from the end point.
        const float slope = float(dy) / float(dx);
        const int dir = dx > 0 ? 1 : -1;
        for (int x = x0;; x += dir) {
            changed |= paintDab(QPoint(x, y1 - int(float(x1 - x) * slope)));
            if (x == x1)
                break;
        }
    } else {
        const float slope = float(dx) / float(dy);
        const int dir = dy > 0 ? 1 : -1;
        for (int y = y0;; y += dir) {
            changed |= paintDab(QPoint(x1 - int(float(y1 - y) * slope), y));
            if (y == y1)
                break;
        }
    }
    return changed;
}

void ImageEditBuffer::draw(QPainter& painter, const QRect& exposed) const
{
    if (isEmpty())
        return;
    const QRect shown = QRect(m_area.topLeft(), m_window.size()) & exposed;
    if (shown.isEmpty())
        return;
    // What a turned picture leaves uncovered shows black.
    painter.fillRect(shown, Qt::black);
    painter.drawImage(shown.topLeft(), m_window, shown.translated(-m_area.topLeft()));
}

void ImageEditBuffer::drawPreview(QPainter& painter) const
{
    if (m_previewRect.isEmpty())
        return;
    painter.save();
    painter.setClipRect(m_previewRect);
    painter.fillRect(m_previewRect, QColor(0, 127, 127));
    const QPoint centre((m_previewRect.left() * 2 + m_previewRect.width()) / 2,
                        (m_previewRect.top() * 2 + m_previewRect.height()) / 2);
    for (int r = 0; r < PatternSize; ++r) {
        const auto [first, last] = m_spans[r];
        if (first > last)
            continue;
        painter.drawImage(centre + QPoint(first - PatternCentre, r - PatternCentre), m_pattern,
                          QRect(first, r, last - first + 1, 1));
    }
    painter.restore();
}

QRect ImageEditBuffer::scrollZone(const QRect& edit, EditScroll step)
{
    // Edges as the area's own: right and bottom one past its last pixel.
    const int l = edit.left(), t = edit.top();
    const int r = edit.left() + edit.width(), b = edit.top() + edit.height();
    QRect zone;
    switch (step) {
        case EditScroll::Left:
            zone.setCoords(l, t + ZoneInset, l + ZoneDepth, b - ZoneInset);
            break;
        case EditScroll::Right:
            zone.setCoords(r - ZoneDepth, t + ZoneInset, r, b - ZoneInset);
            break;
        case EditScroll::Up: zone.setCoords(l + ZoneInset, t, r - ZoneInset, t + ZoneDepth); break;
        case EditScroll::Down:
            zone.setCoords(l + ZoneInset, b - ZoneDepth, r - ZoneInset, b);
            break;
    }
    // setCoords takes the last pixel: the zones end one before their far edge.
    return zone.adjusted(0, 0, -1, -1);
}
