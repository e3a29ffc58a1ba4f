#pragma once

#include "JoinCodes.h"

#include <QCursor>
#include <QImage>

// The view's cursors and the marks that show a trim line's joining direction.
// Cursors come from the program's resources; where a picture is missing the
// nearest standard cursor serves.
class CViewCursors
{
public:
    CViewCursors();

    const QCursor& pan() const { return m_pan; }           // middle button held
    const QCursor& band() const { return m_band; }         // trim window, sample, handle drag
    const QCursor& whole() const { return m_whole; }       // idle in whole-drawing mode
    const QCursor& trimLine() const { return m_trimLine; } // placing a trim line

    // The 32 x 32 mark of a trim line mode (201 up, 202 down, 203 left,
    // 204 right); a null image for any other mode.
    QImage joinMark(TrimMode mode) const;

    static constexpr int MarkSize = 32;

private:
    static QCursor load(const char* name, int hotX, int hotY, Qt::CursorShape fallback);
    static QImage drawMark(int quarterTurns);

    QCursor m_pan;
    QCursor m_band;
    QCursor m_whole;
    QCursor m_trimLine;
    QImage m_marks[4];
};
