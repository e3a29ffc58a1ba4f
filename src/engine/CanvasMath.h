#pragma once

#include <QRect>
#include <QtGlobal>

#include <limits>

// A 64-bit sum or product brought into the int range: what lies beyond an
// end of the range stays at that end.
constexpr int saturateToInt(qint64 value)
{
    constexpr qint64 lowest = std::numeric_limits<int>::min();
    constexpr qint64 highest = std::numeric_limits<int>::max();
    return int(value < lowest ? lowest : value > highest ? highest : value);
}

// Float to integer as the canvas mapping does it: cut toward zero. Values
// beyond the int range stay at its ends (an enormous zoom or position must
// not wrap round); an undefined value counts as 0.
constexpr int truncToInt(double value)
{
    if (!(value == value))
        return 0;
    if (value <= -2147483648.0)
        return std::numeric_limits<int>::min();
    if (value >= 2147483647.0)
        return std::numeric_limits<int>::max();
    return static_cast<int>(value);
}

// Float to integer to the nearest whole number, halves away from zero;
// the ends of the int range and an undefined value as truncToInt.
constexpr int roundToInt(double value)
{
    if (!(value == value))
        return 0;
    return truncToInt(value < 0.0 ? value - 0.5 : value + 0.5);
}

// Whether a box with its top-left corner at (x, y) lies inside the int
// range to its far edges (x + width, y + height): then every sum of a
// position and a size made from it is safe.
constexpr bool boxFits(qint64 x, qint64 y, qint64 width, qint64 height)
{
    constexpr qint64 lowest = std::numeric_limits<int>::min();
    constexpr qint64 highest = std::numeric_limits<int>::max();
    const auto inside = [&](qint64 v) { return v >= lowest && v <= highest; };
    return inside(x) && inside(y) && inside(width) && inside(height) && inside(x + width) &&
           inside(y + height);
}

// A position moved by step and kept where a box of this size starting there
// still ends inside the int range.
constexpr int movedPosition(int position, int size, qint64 step)
{
    const qint64 lowest = std::numeric_limits<int>::min();
    const qint64 highest = qint64(std::numeric_limits<int>::max()) - (size > 0 ? size : 0);
    const qint64 moved = qint64(position) + step;
    return int(moved < lowest ? lowest : moved > highest ? highest : moved);
}

// A rectangle from 64-bit edges, cut to what an int rectangle can hold: the
// left and top edges inside the int range, the width and height no more
// than reaches its end (QRect keeps x + width - 1 as an int) and no more
// than an int holds.
inline QRect boundedRect(qint64 left, qint64 top, qint64 width, qint64 height)
{
    constexpr qint64 highest = std::numeric_limits<int>::max();
    const int x = saturateToInt(left), y = saturateToInt(top);
    const qint64 maxWidth = qMin(highest, highest - x);
    const qint64 maxHeight = qMin(highest, highest - y);
    return QRect(x, y, int(qBound<qint64>(0, width, maxWidth)),
                 int(qBound<qint64>(0, height, maxHeight)));
}
