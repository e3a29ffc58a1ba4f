#include "PagePrinter.h"

#include "CImgJoinEngine.h"

#include <QPainter>
#include <QPen>
#include <QPrinter>

namespace {

constexpr double MmPerInch = 25.4;
constexpr double MarkWidthMm = 0.15;
constexpr double CornerMarkMm = 6.0;
const QColor MarkColour(96, 96, 96);

QRect deviceRect(const QPainter& painter)
{
    return QRect(0, 0, painter.device()->width(), painter.device()->height());
}

} // namespace

QImage PagePrinter::pagePicture(CImgJoinEngine& engine, DisplayMode displayMode)
{
    const QImage picture =
        displayMode == DisplayMode::Output ? engine.GetOutputImage() : engine.RenderJoinedPicture();
    if (picture.isNull() || !picture.hasAlphaChannel())
        return picture;
    // The uncovered parts of a joined canvas are clear: on paper they are
    // white, and a picture without a mask prints quicker and makes a smaller PDF.
    QImage paper(picture.size(), QImage::Format_RGB32);
    if (paper.isNull())
        return picture;
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, picture);
    return paper;
}

PageLayout::Placement PagePrinter::placementFor(DisplayMode displayMode)
{
    // Print-output pages have always sat against the top-left margins; a
    // joined drawing looks best in the middle of the paper.
    return displayMode == DisplayMode::Output ? PageLayout::Placement::TopLeft
                                              : PageLayout::Placement::Centred;
}

void PagePrinter::drawPage(QPainter& painter, CImgJoinEngine& engine, DisplayMode displayMode)
{
    drawFitted(painter, pagePicture(engine, displayMode), placementFor(displayMode));
}

void PagePrinter::drawFitted(QPainter& painter, const QImage& picture,
                             PageLayout::Placement placement)
{
    const QRect page = deviceRect(painter);
    painter.fillRect(page, Qt::white);
    const QRect target = PageLayout::fitted(page, picture.size(), placement);
    if (target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture);
    painter.restore();
}

void PagePrinter::drawSheet(QPainter& painter, const QImage& picture, const TileLayout& layout,
                            int sheet)
{
    painter.fillRect(deviceRect(painter), Qt::white);
    const QRectF source = layout.source(sheet);
    const QRect pixels = source.toAlignedRect() & picture.rect();
    if (pixels.isEmpty())
        return;
    // Whole pixels are cut out (a sheet embeds only its own part in a PDF);
    // the clip keeps what lies beyond the sheet's exact part off the paper.
    const double k = layout.unitsPerPixel();
    const QRectF drawn((pixels.x() - source.x()) * k, (pixels.y() - source.y()) * k,
                       pixels.width() * k, pixels.height() * k);
    painter.save();
    painter.setClipRect(layout.target(sheet));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(drawn, picture.copy(pixels));
    painter.restore();
    drawCutMarks(painter, layout, sheet);
}

void PagePrinter::drawCutMarks(QPainter& painter, const TileLayout& layout, int sheet)
{
    if (layout.count() < 2)
        return;
    const QRectF area = layout.target(sheet);
    const double units = layout.resolution() / MmPerInch;
    const double overlap = layout.overlapUnits();
    const int column = layout.columnOf(sheet), row = layout.rowOf(sheet);
    painter.save();
    QPen pen(MarkColour, qMax(1.0, MarkWidthMm * units));
    pen.setCapStyle(Qt::FlatCap);
    // Dashed lines where the overlap with each neighbour begins: the
    // neighbour's trimmed edge goes on this line.
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    const auto vertical = [&](double x) {
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
    };
    const auto horizontal = [&](double y) {
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    };
    if (column > 0)
        vertical(area.left() + overlap);
    if (column + 1 < layout.columns())
        vertical(area.right() - overlap);
    if (row > 0)
        horizontal(area.top() + overlap);
    if (row + 1 < layout.rows())
        horizontal(area.bottom() - overlap);
    // Solid corner marks along the edges of the sheet's part: the lines to
    // trim the paper on.
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    const double mark = qMin(CornerMarkMm * units, qMin(area.width(), area.height()) / 4);
    const double half = pen.widthF() / 2;
    const QRectF edge = area.adjusted(half, half, -half, -half);
    for (const QPointF& corner :
         { edge.topLeft(), edge.topRight(), edge.bottomLeft(), edge.bottomRight() }) {
        const double dx = corner.x() == edge.left() ? mark : -mark;
        const double dy = corner.y() == edge.top() ? mark : -mark;
        painter.drawLine(corner, corner + QPointF(dx, 0));
        painter.drawLine(corner, corner + QPointF(0, dy));
    }
    painter.restore();
}

TileLayout PagePrinter::sheetLayout(const QPrinter& printer, const QSize& picture,
                                    const TileLayout::Choice& choice)
{
    return TileLayout::forChoice(picture, QSizeF(printer.width(), printer.height()),
                                 printer.resolution(), choice);
}

bool PagePrinter::print(QPrinter& printer, CImgJoinEngine& engine, DisplayMode displayMode)
{
    return print(printer, pagePicture(engine, displayMode), placementFor(displayMode),
                 TileLayout::Choice());
}

bool PagePrinter::print(QPrinter& printer, const QImage& picture, PageLayout::Placement placement,
                        const TileLayout::Choice& choice)
{
    TileLayout layout;
    if (choice.tiled()) {
        layout = sheetLayout(printer, picture.size(), choice);
        if (!layout.valid())
            return false;
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    if (!choice.tiled()) {
        drawFitted(painter, picture, placement);
        return painter.end();
    }
    for (int sheet = 0; sheet < layout.count(); ++sheet) {
        if (sheet > 0 && !printer.newPage()) {
            painter.end();
            return false;
        }
        drawSheet(painter, picture, layout, sheet);
    }
    return painter.end();
}
