#pragma once

#include "JoinCodes.h"

#include <QPoint>
#include <QRect>

// The trim line that cuts the current picture for a joining direction, and
// what the last paint made of it: where it was shown, which part of the
// current picture it kept and whether it cut anything.
//
// The line is stored in canvas units, the unit the view pixel it was set on
// shows, and shown where the canvas maps that unit: on the pixel it was set
// on, and on the same drawing point at any other zoom or origin.
class TrimLine
{
public:
    void set(const QPoint& viewPoint, TrimMode mode, float zoom, const QPoint& origin);
    void clear() { m_mode = TrimMode::None; }
    // Puts back a line kept in canvas units (a saved project).
    void setStored(const QPoint& stored, TrimMode mode)
    {
        m_stored = stored;
        m_mode = mode;
    }
    TrimMode mode() const { return m_mode; }
    bool active() const { return m_mode != TrimMode::None; }
    bool horizontal() const
    {
        return m_mode == TrimMode::FromBelow || m_mode == TrimMode::FromAbove;
    }
    QPoint stored() const { return m_stored; }
    QPoint screenPoint(float zoom, const QPoint& origin) const;

    // The part of a box that the line keeps: the far side of the line, the
    // line included; an empty rectangle when nothing is kept.
    QRect keptPart(const QRect& box, const QPoint& line) const;

    // What a paint leaves.
    void beginPaint();
    void noteKept(const QRect& box, const QRect& kept);
    void noteShown(const QPoint& at);
    QRect kept() const { return m_kept; }
    bool cut() const { return m_cut; }
    bool shown() const { return m_shown; }
    QPoint shownAt() const { return m_shownAt; }

private:
    TrimMode m_mode = TrimMode::None;
    QPoint m_stored;
    QRect m_kept;
    bool m_cut = false;
    bool m_shown = false;
    QPoint m_shownAt;
};
