#include "Canvas.h"

#include "CanvasMath.h"

#include <QtMath>
#include <QtNumeric>

#include <cmath>
#include <utility>

bool Canvas::add(const QString& file)
{
    if (m_pictures.size() >= MaxPictures)
        return false;
    JoinPicture picture;
    picture.file = file;
    m_pictures.append(picture);
    m_current = int(m_pictures.size()) - 1;
    return true;
}

void Canvas::clear()
{
    m_pictures.clear();
    m_hotTransparent = false;
    m_current = 0;
}

int Canvas::indexOfFile(const QString& file) const
{
    for (int i = 0; i < m_pictures.size(); ++i) {
        if (m_pictures.at(i).file == file)
            return i;
    }
    return -1;
}

void Canvas::modify(ModifyCode code)
{
    if (code == ModifyCode::NextPicture) {
        m_current += 1;
        if (m_current >= m_pictures.size())
            m_current = 0;
        return;
    }
    JoinPicture* picture = current();
    if (!picture)
        return;
    switch (code) {
        case ModifyCode::NudgeUp:
            picture->y = movedPosition(picture->y, picture->height, -1);
            break;
        case ModifyCode::NudgeDown:
            picture->y = movedPosition(picture->y, picture->height, 1);
            break;
        case ModifyCode::NudgeLeft:
            picture->x = movedPosition(picture->x, picture->width, -1);
            break;
        case ModifyCode::NudgeRight:
            picture->x = movedPosition(picture->x, picture->width, 1);
            break;
        case ModifyCode::TurnRightStep: picture->angle = float(double(picture->angle) + 0.1); break;
        case ModifyCode::TurnLeftStep: picture->angle = float(double(picture->angle) - 0.1); break;
        case ModifyCode::TurnNone: picture->angle = 0.0f; break;
        case ModifyCode::TurnRight90: picture->angle = 90.0f; break;
        case ModifyCode::TurnRight180: picture->angle = 180.0f; break;
        case ModifyCode::TurnLeft90: picture->angle = -90.0f; break;
        case ModifyCode::TurnLeft180: picture->angle = -180.0f; break;
        case ModifyCode::NextPicture: break;
    }
}

bool Canvas::reorder(LayerCode code)
{
    if (m_pictures.isEmpty() || !hasCurrent())
        return false;
    const int count = int(m_pictures.size());
    switch (code) {
        case LayerCode::Delete:
            m_pictures.removeAt(m_current);
            if (m_current >= count - 1)
                m_current = count - 2;
            if (m_current < 0)
                m_current = 0;
            return true;
        case LayerCode::Up:
            if (m_current + 1 >= count)
                return false;
            std::swap(m_pictures[m_current], m_pictures[m_current + 1]);
            m_current += 1;
            return true;
        case LayerCode::Down:
            if (m_current <= 0)
                return false;
            std::swap(m_pictures[m_current], m_pictures[m_current - 1]);
            m_current -= 1;
            return true;
    }
    return false;
}

void Canvas::move(int dx, int dy, bool wholeDrawing)
{
    // The whole drawing moves by view pixels (the origin is a view point), a
    // picture by the canvas units they span at this zoom, so that it ends
    // under the mouse. A picture stops where its far edge reaches the end of
    // the int range.
    if (wholeDrawing) {
        m_origin = QPoint(saturateToInt(qint64(m_origin.x()) + dx),
                          saturateToInt(qint64(m_origin.y()) + dy));
        return;
    }
    if (JoinPicture* picture = current()) {
        picture->x = movedPosition(picture->x, picture->width, canvasDistance(dx));
        picture->y = movedPosition(picture->y, picture->height, canvasDistance(dy));
    }
}

void Canvas::setMapping(float zoom, const QPoint& origin)
{
    m_zoom = zoom;
    m_origin = origin;
}

void Canvas::zoomStep(ZoomCode code, const QRect& drawn)
{
    switch (code) {
        case ZoomCode::In: m_zoom = float(double(m_zoom) * 1.1); break;
        case ZoomCode::Out: m_zoom = float(double(m_zoom) * 0.9090909090909091); break;
        case ZoomCode::OneToOne:
            m_zoom = 1.0f;
            m_origin = QPoint();
            break;
        case ZoomCode::Fit: {
            const int dw = drawn.width(), dh = drawn.height();
            const int cw = m_clientRect.width(), ch = m_clientRect.height();
            double s = dw > 0 ? double(cw) / dw : 1.0;
            if (dh > 0 && double(ch) / dh < s)
                s = double(ch) / dh;
            m_zoom = float(s);
            m_origin = QPoint();
            break;
        }
    }
}

void Canvas::zoomAt(ZoomCode code, const QPoint& viewPoint, const QRect& drawn)
{
    if (code == ZoomCode::Fit) {
        zoomStep(code, drawn);
        return;
    }
    // The drawing point under the view point, before the zoom changes.
    const double cx = (double(viewPoint.x()) - m_origin.x()) / double(m_zoom);
    const double cy = (double(viewPoint.y()) - m_origin.y()) / double(m_zoom);
    const QPoint origin = m_origin;
    zoomStep(code, drawn);
    if (!(m_zoom > 0.0f) || !qIsFinite(cx) || !qIsFinite(cy)) {
        m_origin = origin;
        return;
    }
    m_origin = QPoint(saturateToInt(qint64(viewPoint.x()) - roundToInt(cx * double(m_zoom))),
                      saturateToInt(qint64(viewPoint.y()) - roundToInt(cy * double(m_zoom))));
}

qint64 Canvas::canvasDistance(qint64 viewDistance) const
{
    if (!(m_zoom > 0.0f) || !qIsFinite(m_zoom))
        return viewDistance;
    // Far beyond any int: the callers check what fits.
    const double units = qBound(-1e15, double(viewDistance) / double(m_zoom), 1e15);
    return std::llround(units);
}

QPoint Canvas::canvasPoint(const QPoint& viewPoint) const
{
    return QPoint(saturateToInt(canvasDistance(qint64(viewPoint.x()) - m_origin.x())),
                  saturateToInt(canvasDistance(qint64(viewPoint.y()) - m_origin.y())));
}

bool Canvas::zoomAbout(double factor, const QPoint& at)
{
    const double before = double(m_zoom);
    if (!(factor > 0.0) || !qIsFinite(factor) || !(before > 0.0))
        return false;
    const float after = float(qBound(MinZoom, before * factor, MaxZoom));
    if (after == m_zoom)
        return false;
    const QPointF fixed = canvasPoint(QPointF(at));
    m_zoom = after;
    m_origin = QPoint(saturateToInt(qRound64(at.x() - fixed.x() * double(after))),
                      saturateToInt(qRound64(at.y() - fixed.y() * double(after))));
    return true;
}

void Canvas::scroll(int dx, int dy)
{
    m_origin =
        QPoint(saturateToInt(qint64(m_origin.x()) + dx), saturateToInt(qint64(m_origin.y()) + dy));
}

QPointF Canvas::canvasPoint(const QPointF& screen) const
{
    const double zoom = m_zoom > 0.0f ? double(m_zoom) : 1.0;
    return QPointF((screen.x() - m_origin.x()) / zoom, (screen.y() - m_origin.y()) / zoom);
}

QRect Canvas::screenBox(const JoinPicture& picture) const
{
    // A box far beyond the view is cut where the int range ends.
    return boundedRect(qint64(truncToInt(float(picture.x) * m_zoom)) + m_origin.x(),
                       qint64(truncToInt(float(picture.y) * m_zoom)) + m_origin.y(),
                       truncToInt(float(picture.width) * m_zoom),
                       truncToInt(float(picture.height) * m_zoom));
}
