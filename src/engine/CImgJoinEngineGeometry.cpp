// Moving, nudging, turning, stretching and layering the current picture.
#include "CImgJoinEngine.h"

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
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    switch (handle) {
        case GrabHandle::Left:
            picture->x += dx;
            picture->width -= dx;
            if (x0 < x1 && picture->width < 10)
                picture->width = 10;
            break;
        case GrabHandle::Right:
            picture->width += dx;
            if (!(x0 < x1) && picture->width < 10)
                picture->width = 10;
            break;
        case GrabHandle::Top:
            picture->y += dy;
            picture->height -= dy;
            if (y0 < y1 && picture->height < 10)
                picture->height = 10;
            break;
        case GrabHandle::Bottom:
            picture->height += dy;
            if (!(y0 < y1) && picture->height < 10)
                picture->height = 10;
            break;
        case GrabHandle::None: break;
    }
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
