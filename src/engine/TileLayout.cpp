#include "TileLayout.h"

#include <cmath>

namespace {

constexpr double MmPerInch = 25.4;
// Leaves out the rounding noise of the scale worked out from a sheet count,
// so that a picture meant to fill N sheets does not spill onto one more.
constexpr double Slack = 1e-6;

// Sheets needed along one direction: the first sheet takes a whole span,
// each further one what lies beyond its overlap with the one before.
qint64 sheetsAlong(double length, double span, double step)
{
    if (length <= span * (1.0 + Slack))
        return 1;
    return 1 + qint64(std::ceil((length - span) / step - Slack));
}

} // namespace

TileLayout TileLayout::forChoice(const QSize& picture, const QSizeF& printable, double resolution,
                                 const Choice& choice)
{
    switch (choice.mode) {
        case Choice::Mode::Scale:
            return byScale(picture, printable, resolution, choice.scalePercent);
        case Choice::Mode::SheetsWide:
            return bySheetsWide(picture, printable, resolution, choice.sheetsWide);
        case Choice::Mode::OnePage: break;
    }
    return {};
}

TileLayout TileLayout::byScale(const QSize& picture, const QSizeF& printable, double resolution,
                               double scalePercent, double overlapMm)
{
    if (!(scalePercent >= MinScalePercent && scalePercent <= MaxScalePercent) ||
        !(resolution > 0.0))
        return {};
    const double unitsPerPixel = scalePercent / 100.0 * resolution / ScreenDpi;
    return make(picture, printable, resolution, unitsPerPixel, overlapMm / MmPerInch * resolution);
}

TileLayout TileLayout::bySheetsWide(const QSize& picture, const QSizeF& printable,
                                    double resolution, int sheetsWide, double overlapMm)
{
    if (sheetsWide < 1 || sheetsWide > MaxSheetsWide || picture.width() <= 0 || !(resolution > 0.0))
        return {};
    // N sheets side by side cover N widths less the N - 1 overlaps.
    const double overlapUnits = overlapMm / MmPerInch * resolution;
    const double covered = sheetsWide * printable.width() - (sheetsWide - 1) * overlapUnits;
    return make(picture, printable, resolution, covered / picture.width(), overlapUnits);
}

TileLayout TileLayout::make(const QSize& picture, const QSizeF& printable, double resolution,
                            double unitsPerPixel, double overlapUnits)
{
    TileLayout layout;
    // The overlap must leave each sheet something of its own to show.
    if (picture.isEmpty() || !(printable.width() > 0.0) || !(printable.height() > 0.0) ||
        !(unitsPerPixel > 0.0) || !std::isfinite(unitsPerPixel) || !(overlapUnits >= 0.0) ||
        overlapUnits >= printable.width() || overlapUnits >= printable.height())
        return layout;
    layout.m_picture = picture;
    layout.m_printable = printable;
    layout.m_resolution = resolution;
    layout.m_unitsPerPixel = unitsPerPixel;
    layout.m_overlapUnits = overlapUnits;
    layout.m_scalePercent = unitsPerPixel * ScreenDpi / resolution * 100.0;
    const qint64 columns = sheetsAlong(picture.width() * unitsPerPixel, printable.width(),
                                       printable.width() - overlapUnits);
    const qint64 rows = sheetsAlong(picture.height() * unitsPerPixel, printable.height(),
                                    printable.height() - overlapUnits);
    // Past the limit the counts only tell how far past it is.
    layout.m_columns = int(qMin<qint64>(columns, MaxSheets + 1));
    layout.m_rows = int(qMin<qint64>(rows, MaxSheets + 1));
    return layout;
}

bool TileLayout::valid() const
{
    return m_columns > 0 && m_rows > 0 && !tooManySheets();
}

QRectF TileLayout::source(int sheet) const
{
    if (sheet < 0 || sheet >= count())
        return {};
    const double spanX = m_printable.width() / m_unitsPerPixel;
    const double spanY = m_printable.height() / m_unitsPerPixel;
    const double x = columnOf(sheet) * (spanX - overlapPixels());
    const double y = rowOf(sheet) * (spanY - overlapPixels());
    const double width = qMin(spanX, m_picture.width() - x);
    const double height = qMin(spanY, m_picture.height() - y);
    return QRectF(x, y, qMax(0.0, width), qMax(0.0, height));
}

QRectF TileLayout::target(int sheet) const
{
    const QRectF part = source(sheet);
    return QRectF(0.0, 0.0, part.width() * m_unitsPerPixel, part.height() * m_unitsPerPixel);
}
