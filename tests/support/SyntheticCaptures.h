#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Made-up screen captures of one large CAD drawing, as a user takes them:
// the same program around a drawing area in every capture, the drawing
// panned between captures (never zoomed), neighbours overlapping, the
// captures in no useful order. Everything follows from the seed alone: the
// random numbers come from std::mt19937 and are turned into ranges here, so
// every standard library gives the same pictures for the same options (text
// still looks as the fonts of the machine draw it).
namespace SyntheticCaptures {

// The position given to captures that come from another drawing.
inline constexpr QPoint NotInDrawing{ -1, -1 };

struct Options
{
    QSize drawingSize{ 8000, 5000 };
    QSize captureSize{ 1920, 1080 };
    // The drawing area inside a capture; empty: the usual layout of the
    // program's bars and panel, scaled to the capture size (1824 x 900 at
    // (96, 90) in a 1920 x 1080 capture). Cut to the capture and to the
    // drawing when it is larger.
    QRect area{};
    int count = 45;
    // Each capture after the first overlaps the earlier capture it overlaps
    // most by this share of the area (kept unless the drawing is too small
    // to hold count captures so).
    double minOverlap = 0.15;
    double maxOverlap = 0.45;
    int gridPitch = 240; // the axis grid repeats at this pitch
    // Extra captures of another drawing: they overlap nothing, not even
    // each other.
    int isolated = 0;
    // A mouse cursor drawn into one capture, inside its overlap with a
    // neighbour.
    bool cursorInOverlap = false;
    quint32 seed = 1;
};

struct Set
{
    QImage drawing; // the whole drawing (Format_RGB32)
    QRect area;     // the drawing area inside every capture
    // count + isolated captures in shuffled order (Format_RGB32)
    QList<QImage> captures;
    // Per capture: the drawing coordinates of its area's top-left;
    // NotInDrawing for the captures of another drawing.
    QList<QPoint> positions;
    // Per capture: where a cursor was drawn (capture coordinates); empty when
    // none was.
    QList<QRect> cursorBoxes;
};

Set make(const Options& options);

// A CAD-like drawing: black background, an axis grid at the pitch with
// labelled bubbles along the edges, walls along the grid, and scattered
// doors, columns, short lines and labels, all anti-aliased.
QImage drawing(QSize size, int gridPitch, quint32 seed);

// The usual drawing area of a capture of the given size.
QRect defaultArea(QSize captureSize);

} // namespace SyntheticCaptures
