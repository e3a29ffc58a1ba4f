// Moving, nudging, turning, stretching and layering the current picture.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"

void CImgJoinEngine::MovePicture(int dx, int dy, int whole)
{
    if (!refusedWhileBusy())
        m_canvas.move(dx, dy, whole == 1);
}

GrabHandle CImgJoinEngine::HitTestHandle(int x, int y) const
{
    return m_paint.hitTest(x, y);
}

void CImgJoinEngine::StretchPicture(int x0, int y0, int x1, int y1, GrabHandle handle)
{
    JoinPicture* picture = current();
    if (!picture || refusedWhileBusy())
        return;
    // The handle's view distance in canvas units, so that the edge ends
    // under the mouse at any zoom. Worked out in 64 bits; a stretch that
    // would carry an edge beyond the int range is not made.
    const qint64 dx = m_canvas.canvasDistance(qint64(x1) - x0);
    const qint64 dy = m_canvas.canvasDistance(qint64(y1) - y0);
    qint64 x = picture->x, y = picture->y, width = picture->width, height = picture->height;
    switch (handle) {
        case GrabHandle::Left:
            x += dx;
            width -= dx;
            if (x0 < x1 && width < 10)
                width = 10;
            break;
        case GrabHandle::Right:
            width += dx;
            if (!(x0 < x1) && width < 10)
                width = 10;
            break;
        case GrabHandle::Top:
            y += dy;
            height -= dy;
            if (y0 < y1 && height < 10)
                height = 10;
            break;
        case GrabHandle::Bottom:
            height += dy;
            if (!(y0 < y1) && height < 10)
                height = 10;
            break;
        case GrabHandle::None: break;
    }
    if (!boxFits(x, y, width, height))
        return;
    picture->x = int(x);
    picture->y = int(y);
    picture->width = int(width);
    picture->height = int(height);
}

void CImgJoinEngine::ModifyCurrentPicture(ModifyCode code)
{
    if (!refusedWhileBusy())
        m_canvas.modify(code);
}

int CImgJoinEngine::ReorderPicture(LayerCode code)
{
    if (m_canvas.isEmpty() || !m_canvas.hasCurrent() || refusedWhileBusy())
        return 0;
    return m_canvas.reorder(code) ? 1 : 0;
}
