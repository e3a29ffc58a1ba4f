#include "SyntheticCaptures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace SyntheticCaptures {

namespace {

// The standard distributions may give other numbers with another standard
// library; these give the same everywhere.
int between(std::mt19937& random, int low, int high)
{
    if (high <= low)
        return low;
    const quint64 span = quint64(qint64(high) - qint64(low)) + 1;
    return int(qint64(low) + qint64(quint64(random()) % span));
}

double unit(std::mt19937& random)
{
    return double(random()) / 4294967296.0;
}

double between(std::mt19937& random, double low, double high)
{
    return low + (high - low) * unit(random);
}

bool chance(std::mt19937& random, double probability)
{
    return unit(random) < probability;
}

template<typename T>
const T& pick(std::mt19937& random, const QList<T>& items)
{
    return items.at(between(random, 0, int(items.size()) - 1));
}

// The colours CAD programs draw layers in on a black background.
const QList<QColor>& layerColours()
{
    static const QList<QColor> colours = {
        QColor(255, 255, 255), QColor(255, 255, 0), QColor(0, 255, 255),   QColor(0, 255, 0),
        QColor(255, 0, 255),   QColor(255, 127, 0), QColor(180, 180, 180), QColor(127, 159, 255),
    };
    return colours;
}

QString axisLetter(int index)
{
    QString name;
    do {
        name.prepend(QChar(u'A' + index % 26));
        index = index / 26 - 1;
    } while (index >= 0);
    return name;
}

QString labelText(std::mt19937& random)
{
    static const QStringList rooms = { "OFFICE",  "LOBBY",   "STAIR",    "WC",   "STORE",
                                       "MEETING", "KITCHEN", "CORRIDOR", "ELEV", "SHAFT",
                                       "PLANT",   "ARCHIVE", "HALL",     "LAB",  "SERVER",
                                       "ROOM",    "BALCONY", "DUCT" };
    static const QStringList codes = { "KZ", "KL", "LL", "GZ", "Q", "TZ", "WKL" };
    static const QList<int> sizes = { 200, 250, 300, 400, 500, 600, 800 };
    switch (between(random, 0, 5)) {
        case 0:
            return QStringLiteral("%1 %2").arg(pick(random, rooms)).arg(between(random, 101, 499));
        case 1: return QString::number(between(random, 3, 90) * 100);
        case 2:
            return QStringLiteral("%1%2 %3x%4")
                .arg(pick(random, codes))
                .arg(between(random, 1, 24))
                .arg(pick(random, sizes))
                .arg(pick(random, sizes));
        case 3: {
            const int millimetres = between(random, -60, 600) * 50;
            return QStringLiteral("%1%2.%3")
                .arg(millimetres < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                .arg(std::abs(millimetres) / 1000)
                .arg(std::abs(millimetres) % 1000, 3, 10, QLatin1Char('0'));
        }
        case 4:
            return QStringLiteral("%1%2%3")
                .arg(chance(random, 0.5) ? QLatin1Char('M') : QLatin1Char('C'))
                .arg(between(random, 6, 24), 2, 10, QLatin1Char('0'))
                .arg(between(random, 6, 30), 2, 10, QLatin1Char('0'));
        default:
            return QStringLiteral("%1-%2")
                .arg(axisLetter(between(random, 0, 25)))
                .arg(between(random, 1, 60));
    }
}

void drawDoor(QPainter& painter, QPointF hinge, double leaf, int quarter, const QColor& colour)
{
    painter.setPen(QPen(colour, 1.0));
    painter.setBrush(Qt::NoBrush);
    const QRectF swing(hinge.x() - leaf, hinge.y() - leaf, 2 * leaf, 2 * leaf);
    painter.drawArc(swing, quarter * 90 * 16, 90 * 16);
    const double angle = quarter * M_PI / 2;
    painter.drawLine(hinge, hinge + QPointF(leaf * std::cos(angle), -leaf * std::sin(angle)));
}

// The program around the drawing area, laid out for a 1920 x 1080 screen
// and scaled to the capture size.
struct Chrome
{
    double sx = 1.0;
    double sy = 1.0;
    QRect status;      // the status bar
    QRect coordinates; // where the status bar shows the cursor's coordinates
    QFont statusFont;
};

Chrome chromeLayout(QSize captureSize)
{
    Chrome layout;
    layout.sx = captureSize.width() / 1920.0;
    layout.sy = captureSize.height() / 1080.0;
    const int statusTop = qRound(1052 * layout.sy);
    layout.status = QRect(0, statusTop, captureSize.width(), captureSize.height() - statusTop);
    layout.coordinates =
        QRect(qRound(8 * layout.sx), statusTop, qRound(420 * layout.sx), layout.status.height());
    layout.statusFont.setPixelSize(qMax(6, qRound(13 * layout.sy)));
    layout.statusFont.setStyleStrategy(QFont::PreferAntialias);
    return layout;
}

QImage chromePicture(QSize size, const Chrome& layout)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const double sx = layout.sx, sy = layout.sy;
    const int width = size.width();
    QFont font;
    font.setStyleStrategy(QFont::PreferAntialias);

    // Title bar with the window's buttons.
    const QRectF title(0, 0, width, 30 * sy);
    QLinearGradient shade(title.topLeft(), title.bottomLeft());
    shade.setColorAt(0, QColor(232, 232, 236));
    shade.setColorAt(1, QColor(204, 206, 212));
    painter.fillRect(title, shade);
    font.setPixelSize(qMax(6, qRound(14 * sy)));
    painter.setFont(font);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(title.adjusted(40 * sx, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Drafting - [floor-plan-L3.drw]"));
    for (int i = 0; i < 3; ++i) {
        const QRectF button(width - (i + 1) * 46 * sx, 0, 46 * sx, 30 * sy);
        if (i == 0)
            painter.fillRect(button, QColor(214, 64, 56));
        painter.setPen(QPen(i == 0 ? Qt::white : QColor(40, 40, 40), 1.2));
        const QPointF c = button.center();
        const double r = 5 * sy;
        if (i == 0) {
            painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
            painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        } else if (i == 1) {
            painter.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
        } else {
            painter.drawLine(c + QPointF(-r, 0), c + QPointF(r, 0));
        }
    }
    painter.fillRect(QRectF(10 * sx, 7 * sy, 16 * sy, 16 * sy), QColor(200, 40, 40));

    // Two tool bars of icons in groups.
    for (int bar = 0; bar < 2; ++bar) {
        const double top = (30 + bar * 30) * sy;
        painter.fillRect(QRectF(0, top, width, 30 * sy), QColor(240, 240, 240));
        painter.setPen(QPen(QColor(200, 200, 200), 1.0));
        painter.drawLine(QPointF(0, top + 29.5 * sy), QPointF(width, top + 29.5 * sy));
        double x = 8 * sx;
        for (int icon = 0; x + 26 * sx < width; ++icon) {
            if (icon % 7 == 6) {
                painter.setPen(QPen(QColor(170, 170, 170), 1.0));
                painter.drawLine(QPointF(x + 4 * sx, top + 5 * sy),
                                 QPointF(x + 4 * sx, top + 25 * sy));
                x += 10 * sx;
                continue;
            }
            const int n = bar * 97 + icon * 37;
            const QColor colour =
                QColor::fromHsv((n * 47) % 360, 120 + (n * 13) % 120, 150 + (n * 29) % 100);
            const QRectF box(x + 3 * sx, top + 5 * sy, 20 * sx, 20 * sy);
            painter.setPen(QPen(colour.darker(160), 1.0));
            painter.setBrush(colour);
            painter.drawRoundedRect(box, 3 * sx, 3 * sy);
            painter.setPen(QPen(Qt::white, 1.4));
            switch (icon % 4) {
                case 0:
                    painter.drawLine(box.topLeft() + QPointF(4 * sx, 4 * sy),
                                     box.bottomRight() - QPointF(4 * sx, 4 * sy));
                    break;
                case 1: painter.drawEllipse(box.adjusted(5 * sx, 5 * sy, -5 * sx, -5 * sy)); break;
                case 2: painter.drawRect(box.adjusted(5 * sx, 6 * sy, -5 * sx, -6 * sy)); break;
                default:
                    painter.drawLine(box.center() - QPointF(0, 6 * sy),
                                     box.center() + QPointF(0, 6 * sy));
            }
            x += 26 * sx;
        }
    }

    // Side panel: a tree of layers and blocks.
    const QRectF panel(0, 90 * sy, 96 * sx, 900 * sy);
    painter.fillRect(panel, QColor(246, 246, 246));
    painter.setPen(QPen(QColor(180, 180, 180), 1.0));
    painter.drawLine(panel.topRight() - QPointF(0.5, 0), panel.bottomRight() - QPointF(0.5, 0));
    static const QStringList rows = { "Layers", " 0",     " AXIS",  " WALL",  " DOOR",  " WIN",
                                      " TEXT",  " DIM",   " COL",   " STAIR", " HATCH", "Blocks",
                                      " door",  " win",   " col",   " tag",   "Views",  " Plan",
                                      " Top",   " Left",  " Iso",   "Sheets", " A1-01", " A1-02",
                                      " A1-03", " A1-04", " A1-05", " A2-01", " A2-02", " A2-03" };
    font.setPixelSize(qMax(6, qRound(12 * sy)));
    painter.setFont(font);
    for (int i = 0; i < rows.size(); ++i) {
        const double top = (96 + i * 22) * sy;
        if (top + 22 * sy > panel.bottom())
            break;
        const bool branch = !rows.at(i).startsWith(QLatin1Char(' '));
        const double indent = (branch ? 4 : 16) * sx;
        painter.setPen(QPen(QColor(120, 120, 120), 1.0));
        painter.setBrush(branch ? QColor(250, 250, 250) : layerColours().at(i % 8));
        painter.drawRect(QRectF(indent, top + 6 * sy, 9 * sx, 9 * sy));
        painter.setPen(QColor(20, 20, 20));
        painter.drawText(QRectF(indent + 12 * sx, top, 96 * sx, 22 * sy),
                         Qt::AlignVCenter | Qt::AlignLeft, rows.at(i).trimmed());
    }

    // Under the drawing area: the command line, then the status bar.
    const QRectF command(0, 990 * sy, width, 62 * sy);
    painter.fillRect(command, QColor(250, 250, 250));
    painter.setPen(QPen(QColor(170, 170, 170), 1.0));
    painter.drawLine(command.topLeft() + QPointF(0, 0.5), command.topRight() + QPointF(0, 0.5));
    font.setPixelSize(qMax(6, qRound(13 * sy)));
    painter.setFont(font);
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(command.adjusted(8 * sx, 4 * sy, 0, 0), Qt::AlignTop | Qt::AlignLeft,
                     QStringLiteral("Command: PAN\nCommand:"));
    painter.fillRect(layout.status, QColor(214, 216, 220));
    painter.setFont(layout.statusFont);
    painter.drawText(QRectF(layout.status).adjusted(0, 0, -12 * sx, 0),
                     Qt::AlignVCenter | Qt::AlignRight,
                     QStringLiteral("GRID  SNAP  ORTHO  POLAR  MODEL  1:100"));
    return image;
}

QRect clampedArea(const Options& options)
{
    QRect area = options.area.isEmpty() ? defaultArea(options.captureSize) : options.area;
    area &= QRect(QPoint(0, 0), options.captureSize);
    area.setWidth(qMin(area.width(), options.drawingSize.width()));
    area.setHeight(qMin(area.height(), options.drawingSize.height()));
    return area;
}

qint64 overlapOf(const QRect& a, const QRect& b)
{
    const QRect common = a & b;
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

// An irregular walk over the drawing: each step starts from an earlier
// capture, overlaps it by a share in [minOverlap, maxOverlap], and among a
// few such steps takes the one that shows most of what no capture showed.
QList<QPoint> panPath(std::mt19937& random, const Options& options, QSize areaSize)
{
    QList<QPoint> positions;
    const int count = qMax(0, options.count);
    if (count == 0)
        return positions;
    const int w = areaSize.width(), h = areaSize.height();
    const int maxX = options.drawingSize.width() - w, maxY = options.drawingSize.height() - h;
    const double areaPixels = double(w) * h;
    const double low = qBound(0.01, qMin(options.minOverlap, options.maxOverlap), 0.99);
    const double high = qBound(low, qMax(options.minOverlap, options.maxOverlap), 0.99);

    const int cell = qMax(4, qMin(w, h) / 24);
    const int columns = options.drawingSize.width() / cell + 1;
    const int cellRows = options.drawingSize.height() / cell + 1;
    QList<uchar> covered(qsizetype(columns) * cellRows, 0);
    const auto cellsOf = [&](QPoint p) {
        return QRect(QPoint(p.x() / cell, p.y() / cell),
                     QPoint(qMin(columns - 1, (p.x() + w - 1) / cell),
                            qMin(cellRows - 1, (p.y() + h - 1) / cell)));
    };
    const auto newCells = [&](QPoint p) {
        const QRect cells = cellsOf(p);
        int fresh = 0;
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x)
                fresh += covered.at(qsizetype(y) * columns + x) ? 0 : 1;
        return fresh;
    };
    const auto cover = [&](QPoint p) {
        const QRect cells = cellsOf(p);
        for (int y = cells.top(); y <= cells.bottom(); ++y)
            for (int x = cells.left(); x <= cells.right(); ++x)
                covered[qsizetype(y) * columns + x] = 1;
    };

    positions << QPoint(between(random, 0, maxX), between(random, 0, maxY));
    cover(positions.first());
    while (positions.size() < count) {
        QPoint best;
        int bestFresh = -1;
        // The step that comes closest when none keeps the share in range.
        QPoint nearest;
        double nearestMiss = 1e9;
        int found = 0;
        for (int attempt = 0; attempt < 600 && found < 24; ++attempt) {
            const QPoint anchor = positions.at(between(random, 0, int(positions.size()) - 1));
            const double share = between(random, low, high);
            const double across = between(random, share, 1.0);
            const int dx = qRound(w * (1.0 - across));
            const int dy = qRound(h * (1.0 - share / across));
            const QPoint step(chance(random, 0.5) ? dx : -dx, chance(random, 0.5) ? dy : -dy);
            const QPoint candidate = anchor + step;
            if (candidate.x() < 0 || candidate.y() < 0 || candidate.x() > maxX ||
                candidate.y() > maxY)
                continue;
            const QRect box(candidate, areaSize);
            double most = 0.0;
            for (const QPoint& earlier : std::as_const(positions))
                most = qMax(most, overlapOf(box, QRect(earlier, areaSize)) / areaPixels);
            const double miss = most < low ? low - most : (most > high ? most - high : 0.0);
            if (miss > 0.0) {
                if (miss < nearestMiss) {
                    nearestMiss = miss;
                    nearest = candidate;
                }
                continue;
            }
            ++found;
            const int fresh = newCells(candidate);
            if (fresh > bestFresh) {
                bestFresh = fresh;
                best = candidate;
            }
        }
        const QPoint chosen = found > 0 ? best : nearest;
        positions << chosen;
        cover(chosen);
    }
    return positions;
}

// The usual arrow of a mouse pointer, tip at (0, 0), about 20 x 30.
QPolygonF arrow()
{
    return QPolygonF({ QPointF(0.5, 0.5), QPointF(0.5, 24.5), QPointF(6.5, 19.5),
                       QPointF(10.5, 28.5), QPointF(14.5, 26.5), QPointF(10.5, 18.5),
                       QPointF(18.5, 18.5) });
}

void copyArea(const QImage& drawing, QPoint from, QImage& capture, const QRect& area)
{
    for (int row = 0; row < area.height(); ++row)
        std::memcpy(capture.scanLine(area.y() + row) + qsizetype(area.x()) * 4,
                    drawing.constScanLine(from.y() + row) + qsizetype(from.x()) * 4,
                    size_t(area.width()) * 4);
}

} // namespace

QRect defaultArea(QSize captureSize)
{
    const double sx = captureSize.width() / 1920.0, sy = captureSize.height() / 1080.0;
    return QRect(QPoint(qRound(96 * sx), qRound(90 * sy)),
                 QPoint(captureSize.width() - 1, qRound(990 * sy) - 1));
}

QImage drawing(QSize size, int gridPitch, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::black);
    std::mt19937 random(seed);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const int pitch = qMax(40, gridPitch);
    const double radius = qBound(8, pitch / 9, 22);
    const double margin = 2 * radius + 24;
    const int width = size.width(), height = size.height();

    QList<double> axesX, axesY;
    for (double x = margin + 0.3; x < width - margin; x += pitch)
        axesX << x;
    for (double y = margin + 0.3; y < height - margin; y += pitch)
        axesY << y;

    // Walls along the axes, in a pattern that repeats, each with a door or
    // not as it happens.
    const double thickness = qMax(4, pitch / 20);
    const QColor wallEdge(200, 200, 200), wallFill(72, 72, 76);
    QList<std::pair<QRectF, bool>> walls; // box, runs across
    for (int i = 0; i < axesX.size(); ++i)
        for (int j = 0; j + 1 < axesY.size(); ++j)
            if ((i * 7 + j * 3) % 5 < 3)
                walls.append({ QRectF(axesX.at(i) - thickness / 2, axesY.at(j), thickness,
                                      axesY.at(j + 1) - axesY.at(j)),
                               false });
    for (int j = 0; j < axesY.size(); ++j)
        for (int i = 0; i + 1 < axesX.size(); ++i)
            if ((i * 2 + j * 5) % 4 != 0)
                walls.append({ QRectF(axesX.at(i), axesY.at(j) - thickness / 2,
                                      axesX.at(i + 1) - axesX.at(i), thickness),
                               true });
    painter.setPen(QPen(wallEdge, 1.0));
    painter.setBrush(wallFill);
    for (const auto& [box, across] : std::as_const(walls))
        painter.drawRect(box);
    painter.setBrush(Qt::NoBrush);
    const double leaf = pitch * 0.28;
    for (const auto& [box, across] : std::as_const(walls)) {
        if (!chance(random, 0.35))
            continue;
        const double length = across ? box.width() : box.height();
        const double start = between(random, 0.15, 0.85 - leaf / length) * length;
        const int quarter = between(random, 0, 3);
        const QColor colour = chance(random, 0.5) ? QColor(255, 255, 0) : QColor(0, 255, 0);
        if (across) {
            painter.fillRect(QRectF(box.left() + start, box.top() - 1, leaf, box.height() + 2),
                             Qt::black);
            const double hingeX = box.left() + start + (quarter == 1 || quarter == 2 ? leaf : 0);
            drawDoor(painter, QPointF(hingeX, box.center().y()), leaf, quarter, colour);
        } else {
            painter.fillRect(QRectF(box.left() - 1, box.top() + start, box.width() + 2, leaf),
                             Qt::black);
            const double hingeY = box.top() + start + (quarter < 2 ? leaf : 0);
            drawDoor(painter, QPointF(box.center().x(), hingeY), leaf, quarter, colour);
        }
    }

    // The axis grid: dash-dot centre lines with their bubbles on every edge.
    const QColor axisColour(220, 60, 60);
    painter.setPen(QPen(axisColour, 1.0, Qt::DashDotLine));
    for (double x : std::as_const(axesX))
        painter.drawLine(QPointF(x, margin - 6), QPointF(x, height - margin + 6));
    for (double y : std::as_const(axesY))
        painter.drawLine(QPointF(margin - 6, y), QPointF(width - margin + 6, y));
    QFont bubbleFont;
    bubbleFont.setPixelSize(qMax(7, int(radius)));
    bubbleFont.setStyleStrategy(QFont::PreferAntialias);
    painter.setFont(bubbleFont);
    const auto bubble = [&](QPointF centre, const QString& name) {
        painter.setPen(QPen(QColor(0, 255, 0), 1.0));
        painter.drawEllipse(centre, radius, radius);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                         Qt::AlignCenter, name);
    };
    for (int i = 0; i < axesX.size(); ++i) {
        bubble(QPointF(axesX.at(i), radius + 4), QString::number(i + 1));
        bubble(QPointF(axesX.at(i), height - radius - 4), QString::number(i + 1));
    }
    for (int j = 0; j < axesY.size(); ++j) {
        bubble(QPointF(radius + 4, axesY.at(j)), axisLetter(j));
        bubble(QPointF(width - radius - 4, axesY.at(j)), axisLetter(j));
    }

    // Details: columns, fixtures, furniture and short lines, anywhere.
    const int detailCell = qMax(40, pitch / 2);
    for (int top = 0; top < height; top += detailCell) {
        for (int left = 0; left < width; left += detailCell) {
            const int details = between(random, 0, 2);
            for (int d = 0; d < details; ++d) {
                const QPointF at(left + between(random, 0.0, double(detailCell)),
                                 top + between(random, 0.0, double(detailCell)));
                const QColor colour = pick(random, layerColours());
                painter.setPen(QPen(colour, between(random, 0.8, 1.6)));
                painter.setBrush(Qt::NoBrush);
                const double a = between(random, 6.0, 40.0), b = between(random, 6.0, 40.0);
                switch (between(random, 0, 4)) {
                    case 0: painter.drawRect(QRectF(at, QSizeF(a, b))); break;
                    case 1: painter.drawEllipse(at, a / 3, a / 3); break;
                    case 2: {
                        const double turn = between(random, 0.0, 2 * M_PI);
                        painter.drawLine(at, at + QPointF(a * std::cos(turn), b * std::sin(turn)));
                        break;
                    }
                    case 3: drawDoor(painter, at, a, between(random, 0, 3), colour); break;
                    default:
                        painter.setBrush(colour.darker(200));
                        painter.drawRect(QRectF(at, QSizeF(a / 2, a / 2)));
                        painter.drawLine(at, at + QPointF(a / 2, a / 2));
                }
            }
        }
    }

    // Labels, one somewhere in every 140 x 140 cell, so that any window a
    // little larger shows some text.
    QList<QFont> fonts;
    for (int pixels : { 10, 11, 12, 14, 16, 20, 26 }) {
        QFont font;
        font.setPixelSize(pixels);
        font.setStyleStrategy(QFont::PreferAntialias);
        font.setBold(pixels >= 20);
        fonts << font;
    }
    constexpr int labelCell = 140;
    for (int top = 0; top < height; top += labelCell) {
        for (int left = 0; left < width; left += labelCell) {
            painter.setFont(pick(random, fonts));
            painter.setPen(pick(random, layerColours()));
            const QPointF at(left + between(random, 0.0, double(labelCell) - 20),
                             top + between(random, 14.0, double(labelCell)));
            painter.drawText(at, labelText(random));
        }
    }
    return image;
}

Set make(const Options& options)
{
    Set set;
    std::mt19937 random(options.seed);
    set.area = clampedArea(options);
    set.drawing = drawing(options.drawingSize, options.gridPitch, options.seed);
    if (set.area.isEmpty() || set.drawing.isNull())
        return set;
    const QSize areaSize = set.area.size();
    const QList<QPoint> path = panPath(random, options, areaSize);

    // Captures of another drawing, side by side and apart.
    const int isolated = qMax(0, options.isolated);
    QImage other;
    if (isolated > 0) {
        const int gap = qMax(64, options.gridPitch);
        other =
            drawing(QSize(isolated * (areaSize.width() + gap) + gap, areaSize.height() + 2 * gap),
                    options.gridPitch + 7, options.seed * 2654435761u + 977u);
    }

    const Chrome layout = chromeLayout(options.captureSize);
    const QImage chrome = chromePicture(options.captureSize, layout);
    const auto capture = [&](const QImage& from, QPoint at) {
        QImage picture = chrome.copy();
        copyArea(from, at, picture, set.area);
        QPainter painter(&picture);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.setFont(layout.statusFont);
        painter.setPen(QColor(30, 30, 30));
        const QPoint centre = at + QPoint(areaSize.width() / 2, areaSize.height() / 2);
        painter.drawText(layout.coordinates, Qt::AlignVCenter | Qt::AlignLeft,
                         QStringLiteral("X=%1.%2  Y=%3.%4")
                             .arg(centre.x() * 25)
                             .arg(between(random, 0, 9999), 4, 10, QLatin1Char('0'))
                             .arg(centre.y() * 25)
                             .arg(between(random, 0, 9999), 4, 10, QLatin1Char('0')));
        return picture;
    };
    for (const QPoint& at : path) {
        set.captures << capture(set.drawing, at);
        set.positions << at;
        set.cursorBoxes << QRect();
    }
    for (int i = 0; i < isolated; ++i) {
        const int gap = qMax(64, options.gridPitch);
        set.captures << capture(other, QPoint(gap + i * (areaSize.width() + gap), gap));
        set.positions << NotInDrawing;
        set.cursorBoxes << QRect();
    }

    if (options.cursorInOverlap && path.size() >= 2) {
        // The last capture of the walk, where it overlaps the earlier one it
        // overlaps most.
        const int last = int(path.size()) - 1;
        const QRect box(path.at(last), areaSize);
        QRect overlap;
        for (int i = 0; i < last; ++i) {
            const QRect common = box & QRect(path.at(i), areaSize);
            if (overlapOf(common, common) > overlapOf(overlap, overlap))
                overlap = common;
        }
        const QPolygonF shape = arrow();
        const QSize cursorSize = shape.boundingRect().adjusted(-1, -1, 1, 1).toAlignedRect().size();
        if (overlap.width() >= cursorSize.width() && overlap.height() >= cursorSize.height()) {
            const QPoint tip(
                between(random, overlap.left(), overlap.right() - cursorSize.width()),
                between(random, overlap.top(), overlap.bottom() - cursorSize.height()));
            const QPoint inCapture = tip - path.at(last) + set.area.topLeft() + QPoint(1, 1);
            QPainter painter(&set.captures[last]);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(set.area);
            painter.translate(inCapture);
            painter.setPen(QPen(Qt::black, 1.0));
            painter.setBrush(Qt::white);
            painter.drawPolygon(shape);
            set.cursorBoxes[last] = QRect(inCapture - QPoint(1, 1), cursorSize) & set.area;
        }
    }

    // The order the files come in tells nothing.
    for (int i = int(set.captures.size()) - 1; i > 0; --i) {
        const int j = between(random, 0, i);
        set.captures.swapItemsAt(i, j);
        set.positions.swapItemsAt(i, j);
        set.cursorBoxes.swapItemsAt(i, j);
    }
    return set;
}

} // namespace SyntheticCaptures
