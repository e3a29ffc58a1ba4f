// Moving, nudging, turning, stretching and layering the current picture.
#include "CImgJoinEngine.h"

#include <utility>

void CImgJoinEngine::MovePicture(int dx, int dy, int whole)
{
    if (whole == 1) {
        m_originX += dx;
        m_originY += dy;
        return;
    }
    if (JoinPicture* picture = current()) {
        picture->x += dx;
        picture->y += dy;
    }
}

GrabHandle CImgJoinEngine::HitTestHandle(int x, int y) const
{
    static constexpr GrabHandle codes[4] = { GrabHandle::Left, GrabHandle::Right, GrabHandle::Top,
                                             GrabHandle::Bottom };
    GrabHandle hit = GrabHandle::None;
    for (int i = 0; i < 4; ++i) {
        const QRect& r = m_handles[i];
        // The right and bottom edges lie outside, as for any window rectangle.
        if (r.width() > 0 && x >= r.x() && x < r.x() + r.width() && y >= r.y() &&
            y < r.y() + r.height())
            hit = codes[i];
    }
    return hit;
}

void CImgJoinEngine::StretchPicture(int x0, int y0, int x1, int y1, GrabHandle handle)
{
    JoinPicture* picture = current();
    if (!picture)
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
    if (code == ModifyCode::NextPicture) {
        m_currentPicture += 1;
        if (m_currentPicture >= m_pictures.size())
            m_currentPicture = 0;
        return;
    }
    JoinPicture* picture = current();
    if (!picture)
        return;
    switch (code) {
        case ModifyCode::NudgeUp: picture->y -= 1; break;
        case ModifyCode::NudgeDown: picture->y += 1; break;
        case ModifyCode::NudgeLeft: picture->x -= 1; break;
        case ModifyCode::NudgeRight: picture->x += 1; break;
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

int CImgJoinEngine::ReorderPicture(LayerCode code)
{
    if (m_pictures.isEmpty() || !HasCurrentPicture())
        return 0;
    const int count = int(m_pictures.size());
    switch (code) {
        case LayerCode::Delete:
            m_pictures.removeAt(m_currentPicture);
            if (m_currentPicture >= count - 1)
                m_currentPicture = count - 2;
            if (m_currentPicture < 0)
                m_currentPicture = 0;
            return 1;
        case LayerCode::Up:
            if (m_currentPicture + 1 >= count)
                return 0;
            std::swap(m_pictures[m_currentPicture], m_pictures[m_currentPicture + 1]);
            m_currentPicture += 1;
            return 1;
        case LayerCode::Down:
            if (m_currentPicture <= 0)
                return 0;
            std::swap(m_pictures[m_currentPicture], m_pictures[m_currentPicture - 1]);
            m_currentPicture -= 1;
            return 1;
    }
    return 0;
}
