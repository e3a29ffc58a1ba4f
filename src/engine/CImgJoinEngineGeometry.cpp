// Moving, nudging, turning, stretching and layering the current picture.
#include "CImgJoinEngine.h"

#include "CanvasEditCommand.h"
#include "CanvasMath.h"

void CImgJoinEngine::MovePicture(int dx, int dy, int whole)
{
    if (refusedWhileBusy())
        return;
    const CanvasSnapshot before = snapshot();
    m_canvas.move(dx, dy, whole == 1);
    recordEdit(tr("移动图片"), before, CanvasEditCommand::MoveId);
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
    const CanvasSnapshot before = snapshot();
    picture->x = int(x);
    picture->y = int(y);
    picture->width = int(width);
    picture->height = int(height);
    recordEdit(tr("拉伸图片"), before);
}

void CImgJoinEngine::ModifyCurrentPicture(ModifyCode code)
{
    if (refusedWhileBusy())
        return;
    const CanvasSnapshot before = snapshot();
    m_canvas.modify(code);
    const bool nudge = code == ModifyCode::NudgeUp || code == ModifyCode::NudgeDown ||
                       code == ModifyCode::NudgeLeft || code == ModifyCode::NudgeRight;
    if (nudge)
        recordEdit(tr("移动图片"), before, CanvasEditCommand::MoveId);
    else
        recordEdit(tr("旋转图片"), before);
}

int CImgJoinEngine::ReorderPicture(LayerCode code)
{
    if (m_canvas.isEmpty() || !m_canvas.hasCurrent() || refusedWhileBusy())
        return 0;
    const CanvasSnapshot before = snapshot();
    const bool changed = m_canvas.reorder(code);
    recordEdit(code == LayerCode::Delete ? tr("删除图片") : tr("调整图层"), before);
    return changed ? 1 : 0;
}
