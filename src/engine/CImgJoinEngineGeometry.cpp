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

int CImgJoinEngine::HitTestHandle(int x, int y) const
{
    static constexpr int codes[4] = { HandleLeft, HandleRight, HandleTop, HandleBottom };
    int hit = HandleNone;
    for (int i = 0; i < 4; ++i) {
        const QRect& r = m_handles[i];
        // The right and bottom edges lie outside, as for any window rectangle.
        if (r.width() > 0 && x >= r.x() && x < r.x() + r.width() && y >= r.y() &&
            y < r.y() + r.height())
            hit = codes[i];
    }
    return hit;
}

void CImgJoinEngine::StretchPicture(int x0, int y0, int x1, int y1, int handle)
{
    JoinPicture* picture = current();
    if (!picture)
        return;
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    switch (handle) {
        case HandleLeft:
            picture->x += dx;
            picture->width -= dx;
            if (x0 < x1 && picture->width < 10)
                picture->width = 10;
            break;
        case HandleRight:
            picture->width += dx;
            if (!(x0 < x1) && picture->width < 10)
                picture->width = 10;
            break;
        case HandleTop:
            picture->y += dy;
            picture->height -= dy;
            if (y0 < y1 && picture->height < 10)
                picture->height = 10;
            break;
        case HandleBottom:
            picture->height += dy;
            if (!(y0 < y1) && picture->height < 10)
                picture->height = 10;
            break;
        default: break;
    }
}

void CImgJoinEngine::ModifyCurrentPicture(int code)
{
    if (code == 9966) {
        m_currentPicture += 1;
        if (m_currentPicture >= m_pictures.size())
            m_currentPicture = 0;
        return;
    }
    JoinPicture* picture = current();
    if (!picture)
        return;
    switch (code) {
        case 101: picture->y -= 1; break;
        case 102: picture->y += 1; break;
        case 201: picture->x -= 1; break;
        case 202: picture->x += 1; break;
        case 301: picture->angle = float(double(picture->angle) + 0.1); break;
        case 302: picture->angle = float(double(picture->angle) - 0.1); break;
        case 366: picture->angle = 0.0f; break;
        case 370: picture->angle = 90.0f; break;
        case 371: picture->angle = 180.0f; break;
        case 380: picture->angle = -90.0f; break;
        case 381: picture->angle = -180.0f; break;
        default: break;
    }
}

int CImgJoinEngine::ReorderPicture(int code)
{
    if (m_pictures.isEmpty() || !HasCurrentPicture())
        return 0;
    const int count = int(m_pictures.size());
    switch (code) {
        case 100:
            m_pictures.removeAt(m_currentPicture);
            if (m_currentPicture >= count - 1)
                m_currentPicture = count - 2;
            if (m_currentPicture < 0)
                m_currentPicture = 0;
            return 1;
        case 201:
            if (m_currentPicture + 1 >= count)
                return 0;
            std::swap(m_pictures[m_currentPicture], m_pictures[m_currentPicture + 1]);
            m_currentPicture += 1;
            return 1;
        case 206:
            if (m_currentPicture <= 0)
                return 0;
            std::swap(m_pictures[m_currentPicture], m_pictures[m_currentPicture - 1]);
            m_currentPicture -= 1;
            return 1;
        default: return 0;
    }
}
