// How the view looks at the canvas and the output picture: zooming about a
// point, scrolling, and the mapping between view points and canvas units.
#include "CImgJoinEngine.h"

bool CImgJoinEngine::ZoomAbout(double factor, int x, int y, ZoomTarget target)
{
    if (target == ZoomTarget::Canvas)
        return m_canvas.zoomAbout(factor, QPoint(x, y));
    return m_output.zoomAbout(factor, QPoint(x, y), Canvas::MinZoom, Canvas::MaxZoom);
}

void CImgJoinEngine::ScrollView(int dx, int dy, ZoomTarget target)
{
    if (target == ZoomTarget::Canvas)
        m_canvas.scroll(dx, dy);
    else
        m_output.move(dx, dy);
}

QPointF CImgJoinEngine::CanvasPointAt(const QPointF& viewPoint) const
{
    return m_canvas.canvasPoint(viewPoint);
}

QRect CImgJoinEngine::CurrentScreenBox() const
{
    if (!m_canvas.hasCurrent())
        return {};
    return m_canvas.screenBox(m_canvas.at(m_canvas.currentIndex()));
}

bool CImgJoinEngine::OpenOutputPicture(const QString& file)
{
    if (refusedWhileBusy())
        return false;
    const QString error = PictureReadError(file);
    if (!error.isEmpty()) {
        report(error);
        return false;
    }
    m_output.open(file);
    m_output.resetPlacement();
    return true;
}
