#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>

// How a picture larger than one sheet is printed across several sheets at
// one scale. The sheets form a grid of columns and rows, read row by row;
// neighbouring sheets repeat a strip of the picture (the overlap), so the
// printed sheets can be trimmed and glued edge over edge.
//
// Scale 100 % prints a picture pixel at the size it has on the screen at
// 1:1, ScreenDpi pixels to the inch. Sizes on the sheet are in the
// printer's device units, resolution() of them to the inch.
class TileLayout
{
public:
    static constexpr double ScreenDpi = 96.0;
    static constexpr double DefaultOverlapMm = 10.0;
    static constexpr double MinScalePercent = 1.0;
    static constexpr double MaxScalePercent = 10000.0;
    static constexpr int MaxSheetsWide = 50;
    // More sheets than this are not a print job but a mistake.
    static constexpr int MaxSheets = 500;

    // What the user chose: the whole picture on one page, or sheets at a
    // scale, or sheets at the scale that makes the picture so many sheets wide.
    struct Choice
    {
        enum class Mode
        {
            OnePage,
            Scale,
            SheetsWide
        };
        Mode mode = Mode::OnePage;
        double scalePercent = 100.0;
        int sheetsWide = 2;

        bool tiled() const { return mode != Mode::OnePage; }
    };

    // Not valid: no sheets.
    TileLayout() = default;
    // The sheets for a tiled choice; not valid for OnePage.
    static TileLayout forChoice(const QSize& picture, const QSizeF& printable, double resolution,
                                const Choice& choice);
    // The picture at scalePercent on sheets whose printable area is
    // printable device units at resolution units to the inch.
    static TileLayout byScale(const QSize& picture, const QSizeF& printable, double resolution,
                              double scalePercent, double overlapMm = DefaultOverlapMm);
    // The scale at which the picture's width takes exactly sheetsWide
    // sheets side by side, overlaps included.
    static TileLayout bySheetsWide(const QSize& picture, const QSizeF& printable, double resolution,
                                   int sheetsWide, double overlapMm = DefaultOverlapMm);

    // Whether there is at least one sheet and no more than MaxSheets.
    bool valid() const;
    // Whether the layout is refused only because it takes too many sheets.
    bool tooManySheets() const { return m_columns * qint64(m_rows) > MaxSheets; }

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int count() const { return valid() ? m_columns * m_rows : 0; }
    double scalePercent() const { return m_scalePercent; }
    double resolution() const { return m_resolution; }
    // Device units one picture pixel takes on the sheet.
    double unitsPerPixel() const { return m_unitsPerPixel; }
    // The overlap between neighbours, in device units and in picture pixels.
    double overlapUnits() const { return m_overlapUnits; }
    double overlapPixels() const { return m_overlapUnits / m_unitsPerPixel; }
    QSizeF printable() const { return m_printable; }

    int columnOf(int sheet) const { return m_columns > 0 ? sheet % m_columns : 0; }
    int rowOf(int sheet) const { return m_columns > 0 ? sheet / m_columns : 0; }
    // The part of the picture a sheet shows, in picture pixels.
    QRectF source(int sheet) const;
    // Where that part lies on the sheet, in device units from the top-left
    // of the printable area.
    QRectF target(int sheet) const;

private:
    static TileLayout make(const QSize& picture, const QSizeF& printable, double resolution,
                           double unitsPerPixel, double overlapUnits);

    QSize m_picture;
    QSizeF m_printable;
    double m_resolution = 0.0;
    double m_unitsPerPixel = 1.0;
    double m_overlapUnits = 0.0;
    double m_scalePercent = 0.0;
    int m_columns = 0;
    int m_rows = 0;
};
