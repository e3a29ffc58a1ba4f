#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>

class QPainter;

// A construction floor plan as a CAD program shows it on screen, for timing
// on pictures that look like what users join and print: thin anti-aliased
// lines in layer colours (axes, walls with hatching, columns, doors,
// windows, dimension chains, furniture), axis bubbles and plenty of
// anti-aliased Chinese and Latin text, on a black or white ground.
//
// The drawing is a grid of plans, each made from its own seed, so any part
// of it can be painted on its own and comes out the same as in the whole:
// large drawings are painted band by band, captures as parts of a drawing.
class RealisticDrawing
{
public:
    RealisticDrawing(QSize size, bool whiteGround, quint32 seed);

    QSize size() const { return m_size; }
    bool whiteGround() const { return m_whiteGround; }

    // The part of the drawing in region (drawing coordinates), as a picture
    // of the region's size (Format_RGB32).
    QImage render(const QRect& region) const;

    // A screen capture of region: the drawing with the program's crosshair
    // cursor at a place that follows from cursorSeed.
    QImage capture(const QRect& region, quint32 cursorSeed) const;

    // The number of distinct colours in a picture.
    static qsizetype colourCount(const QImage& image);

private:
    struct Palette;

    void paintPlan(QPainter& painter, int column, int row, const QRectF& visible) const;
    const Palette& palette() const;

    QSize m_size;
    bool m_whiteGround;
    quint32 m_seed;
};
