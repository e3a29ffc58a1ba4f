#pragma once

#include "JoinCodes.h"

#include <QCursor>

// The cursors of the picture-edit dialog: one for each scroll zone, the edit
// area without and with a brush, and three while painting, by brush size.
// They come from the program's resources; where a picture is missing the
// nearest standard cursor serves.
class ImgEditCursors
{
public:
    ImgEditCursors();

    const QCursor& scroll(EditScroll step) const;
    const QCursor& noBrush() const { return m_noBrush; }
    const QCursor& brush() const { return m_brush; }
    // While painting: radius up to 5, 6 to 9, 10 or more.
    const QCursor& painting(int radius) const;

private:
    static QCursor load(const char* name, int hotX, int hotY, Qt::CursorShape fallback);

    QCursor m_scrollLeft;
    QCursor m_scrollRight;
    QCursor m_scrollUp;
    QCursor m_scrollDown;
    QCursor m_noBrush;
    QCursor m_brush;
    QCursor m_paintSmall;
    QCursor m_paintMedium;
    QCursor m_paintLarge;
};
