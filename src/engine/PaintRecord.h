#pragma once

#include "JoinCodes.h"

#include <QRect>

#include <array>

// What the last paint of the canvas left behind for the mouse and for the
// zoom: the four grab handles of the current picture and the bounds of every
// picture box drawn.
class PaintRecord
{
public:
    // Handle squares: 0 left, 1 right, 2 top, 3 bottom.
    static constexpr int HandleCount = 4;

    void reset();
    // The four 12-pixel squares centred on the middles of the box's edges.
    void setHandles(const QRect& box);
    QRect handle(int index) const { return m_handles.at(size_t(index)); }
    // The handle under a view point; the right and bottom edges of a square
    // lie outside it, as for any window rectangle. The last square wins.
    GrabHandle hitTest(int x, int y) const;

    // Widens the drawn bounds; empty boxes widen them too.
    void addDrawn(const QRect& box);
    QRect drawn() const { return m_drawn; }
    bool drawnValid() const { return m_drawnValid; }

private:
    std::array<QRect, HandleCount> m_handles;
    QRect m_drawn;
    bool m_drawnValid = false;
};
