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
    // The same box the live preview of the drag shows; one beyond the int
    // range leaves the picture as it is.
    JoinPicture stretched;
    StretchedCurrentPicture(x0, y0, x1, y1, handle, stretched);
    const CanvasSnapshot before = snapshot();
    picture->x = stretched.x;
    picture->y = stretched.y;
    picture->width = stretched.width;
    picture->height = stretched.height;
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
