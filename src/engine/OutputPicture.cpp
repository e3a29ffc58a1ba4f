#include "OutputPicture.h"

#include "CanvasMath.h"

#include <QtMath>

void OutputPicture::open(const QString& file)
{
    m_file = file;
    m_originalFile = file;
    m_fitted = false;
}

void OutputPicture::resetPlacement()
{
    m_position = QPoint();
    m_zoom = 1.0f;
    m_fitted = false;
}

void OutputPicture::move(int dx, int dy)
{
    m_position = QPoint(saturateToInt(qint64(m_position.x()) + dx),
                        saturateToInt(qint64(m_position.y()) + dy));
}

void OutputPicture::zoomStep(ZoomCode code)
{
    switch (code) {
        case ZoomCode::In: m_zoom = float(double(m_zoom) * 1.1); break;
        case ZoomCode::Out: m_zoom = float(double(m_zoom) * 0.9090909090909091); break;
        case ZoomCode::OneToOne: m_zoom = 1.0f; break;
        case ZoomCode::Fit: m_fitted = false; break;
    }
}

bool OutputPicture::zoomAbout(double factor, const QPoint& at, double minZoom, double maxZoom)
{
    const double before = double(m_zoom);
    if (!(factor > 0.0) || !qIsFinite(factor) || !(before > 0.0))
        return false;
    const float after = float(qBound(minZoom, before * factor, maxZoom));
    if (after == m_zoom)
        return false;
    const double px = (at.x() - m_position.x()) / before;
    const double py = (at.y() - m_position.y()) / before;
    m_zoom = after;
    m_position = QPoint(saturateToInt(qRound64(at.x() - px * double(after))),
                        saturateToInt(qRound64(at.y() - py * double(after))));
    return true;
}

void OutputPicture::fitInto(const QRect& clip, const QSize& pictureSize)
{
    if (m_fitted || clip.width() <= 300)
        return;
    const int w = pictureSize.width(), h = pictureSize.height();
    const double sx = w != 0 ? double(clip.width()) / w : 1.0;
    const double sy = h != 0 ? double(clip.height()) / h : 1.0;
    m_zoom = float(sy < sx ? sy : sx);
    m_position = clip.topLeft();
    m_fitted = true;
}

QRect OutputPicture::screenBox(const QSize& pictureSize) const
{
    return boundedRect(m_position.x(), m_position.y(),
                       truncToInt(float(pictureSize.width()) * m_zoom),
                       truncToInt(float(pictureSize.height()) * m_zoom));
}
