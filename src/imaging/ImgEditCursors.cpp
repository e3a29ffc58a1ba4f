#include "ImgEditCursors.h"

#include <QPixmap>

namespace {

constexpr int CursorSize = 32;

} // namespace

ImgEditCursors::ImgEditCursors()
    : m_scrollLeft(load("edit-scroll-left", 16, 16, Qt::SizeHorCursor))
    , m_scrollRight(load("edit-scroll-right", 16, 16, Qt::SizeHorCursor))
    , m_scrollUp(load("edit-scroll-up", 16, 16, Qt::SizeVerCursor))
    , m_scrollDown(load("edit-scroll-down", 16, 16, Qt::SizeVerCursor))
    , m_noBrush(load("edit-nobrush", 15, 15, Qt::ForbiddenCursor))
    , m_brush(load("edit-brush", 15, 15, Qt::CrossCursor))
    , m_paintSmall(load("edit-paint-small", 16, 16, Qt::CrossCursor))
    , m_paintMedium(load("edit-paint-medium", 16, 16, Qt::CrossCursor))
    , m_paintLarge(load("edit-paint-large", 16, 16, Qt::CrossCursor))
{
}

QCursor ImgEditCursors::load(const char* name, int hotX, int hotY, Qt::CursorShape fallback)
{
    const QString file = QStringLiteral(":/cursors/%1.svg").arg(QLatin1String(name));
    const QPixmap picture(file);
    if (picture.isNull())
        return QCursor(fallback);
    return QCursor(picture.scaled(CursorSize, CursorSize), hotX, hotY);
}

const QCursor& ImgEditCursors::scroll(EditScroll step) const
{
    switch (step) {
        case EditScroll::Left: return m_scrollLeft;
        case EditScroll::Right: return m_scrollRight;
        case EditScroll::Up: return m_scrollUp;
        case EditScroll::Down: break;
    }
    return m_scrollDown;
}

const QCursor& ImgEditCursors::painting(int radius) const
{
    if (radius <= 5)
        return m_paintSmall;
    if (radius <= 9)
        return m_paintMedium;
    return m_paintLarge;
}
