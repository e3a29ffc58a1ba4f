#pragma once

#include "JoinCodes.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <utility>

class QPainter;

// The brush editing of one picture: the window of the picture that the edit
// area shows at 1:1, and the brush that paints on it. The window is a copy
// of the picture's rendering (box and turn applied); dabs change the copy,
// and the engine writes it back into the picture when the window moves on or
// the editing ends.
//
// Points of dabs and strokes are given where the edit area lies in its
// dialog; every painting call returns the rectangle of the dialog it changed,
// so the dialog repaints only that.
//
// The brush stamps a PatternSize x PatternSize pattern (one colour, or a patch
// taken from the picture) through a disc: pattern pixel (row r, column c)
// lies at distance trunc(sqrt((r - 20)^2 + (c - 20)^2)) from the centre and
// is stamped when that is at most the radius. Radius 0 stamps one pixel,
// radius 1 a 3 x 3 square. Pattern pixel (r, c) of a dab at (x, y) lands on
// (x + c - 20, y + r - 20). Nothing is ever painted outside the window.
class ImageEditBuffer
{
public:
    static constexpr int PatternSize = 40;
    static constexpr int PatternCentre = 20;
    // Scroll zones: strips this deep along the edit area's edges, kept this
    // far from its corners.
    static constexpr int ZoneDepth = 8;
    static constexpr int ZoneInset = 38;
    // A stroke paints a segment once the mouse is this far from its last point.
    static constexpr int StrokeStep = 3;

    ImageEditBuffer();

    // Where the edit area lies in its dialog.
    void setArea(const QRect& area) { m_area = area; }
    QRect area() const { return m_area; }

    // Shows the rendering from offset on: the window is as large as the area
    // where the rendering reaches that far, smaller where it does not.
    void load(const QImage& rendering, const QPoint& offset);
    // No picture: an empty window that takes no dabs.
    void clear();
    bool isEmpty() const { return m_window.isNull(); }
    // The window's pixels: opaque where painted, as rendered elsewhere (the
    // corners a turned picture leaves are transparent).
    const QImage& window() const { return m_window; }
    // The rendering's pixel at the window's top-left.
    QPoint offset() const { return m_offset; }
    QSize pictureSize() const { return m_pictureSize; }
    // Whether the window can move this way within the picture.
    bool canScroll(EditScroll step) const;
    // Where the window's offset goes on a step: a third of the area, never
    // before the picture's start.
    QPoint scrolled(EditScroll step) const;
    // A dab has changed the window since it was loaded.
    bool dirty() const { return m_dirty; }
    // Writes the window back into a rendering of the whole picture at its offset.
    void storeInto(QImage& rendering) const;

    // The brush. The pattern survives from one editing to the next, as does the radius.
    void setPattern(const QImage& pattern);
    void fillPattern(QRgb colour);
    const QImage& pattern() const { return m_pattern; }
    int radius() const { return m_radius; }
    void setRadius(int radius);

    QRect paintDab(const QPoint& at);
    // Dabs along the line from one point to another, both included: one per
    // column when the line is wider than high, else one per row.
    QRect paintStroke(const QPoint& from, const QPoint& to);

    // Draws the window at the edit area; only what lies in exposed.
    void draw(QPainter& painter, const QRect& exposed) const;
    // Where the brush preview is drawn in the dialog.
    void setPreviewRect(const QRect& rect) { m_previewRect = rect; }
    QRect previewRect() const { return m_previewRect; }
    // The brush's disc of the pattern centred on a dark cyan preview rectangle.
    void drawPreview(QPainter& painter) const;

    // The scroll zone of an edit area for a step.
    static QRect scrollZone(const QRect& edit, EditScroll step);

private:
    // The pattern columns the disc takes in each pattern row, first and
    // last; first > last where it takes none.
    using Spans = std::array<std::pair<int, int>, PatternSize>;
    static Spans discSpans(int radius);

    QRect m_area;
    QImage m_window; // Format_ARGB32_Premultiplied
    QPoint m_offset;
    QSize m_pictureSize;
    bool m_dirty = false;
    QImage m_pattern; // PatternSize x PatternSize, opaque, Format_ARGB32_Premultiplied
    int m_radius = 0;
    Spans m_spans;
    QRect m_previewRect;
};
