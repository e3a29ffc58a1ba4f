#include "RealisticDrawing.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QSet>
#include <QStringList>

#include <cmath>
#include <random>

namespace {

// A plan with its axes, dimension chains and bubbles takes this much of the
// drawing; the plans are laid out in a grid.
constexpr int PlanWidth = 3400;
constexpr int PlanHeight = 2400;
// Between the plan's frame and its outermost axes: bubbles, dimensions.
constexpr int PlanMargin = 330;
// Nothing of a plan is painted further than this outside its cell.
constexpr int PlanBleed = 40;
// Nothing is painted further than this from the box it is culled by.
constexpr int Reach = 320;
// One pixel of the drawing is this many millimetres on site.
constexpr int MillimetresPerPixel = 20;

// The standard distributions may give other numbers with another standard
// library; these give the same everywhere.
int between(std::mt19937& random, int low, int high)
{
    if (high <= low)
        return low;
    const quint64 span = quint64(qint64(high) - qint64(low)) + 1;
    return int(qint64(low) + qint64(quint64(random()) % span));
}

double between(std::mt19937& random, double low, double high)
{
    return low + (high - low) * (double(random()) / 4294967296.0);
}

bool chance(std::mt19937& random, double probability)
{
    return between(random, 0.0, 1.0) < probability;
}

template<typename T>
const T& pick(std::mt19937& random, const QList<T>& items)
{
    return items.at(between(random, 0, int(items.size()) - 1));
}

QString axisLetter(int index)
{
    static const QString letters = QStringLiteral("ABCDEFGHJKLMNPQRSTUVWXY");
    QString name = letters.at(index % letters.size());
    if (index >= letters.size())
        name += QString::number(index / letters.size());
    return name;
}

QFont font(const QString& family, int pixels, bool bold = false)
{
    QFont result(family);
    result.setPixelSize(pixels);
    result.setBold(bold);
    result.setStyleStrategy(QFont::PreferAntialias);
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

QFont cjkFont(int pixels, bool bold = false)
{
    return font(QStringLiteral("Noto Sans CJK SC"), pixels, bold);
}

QFont latinFont(int pixels, bool bold = false)
{
    return font(QStringLiteral("DejaVu Sans"), pixels, bold);
}

// Diagonal hatching of a box, the lines ending on its edges. Worked out here
// rather than clipped by the painter, whose clipping of a fractional box
// differs with the region painted.
void hatch(QPainter& painter, const QRectF& box, double spacing, const QPen& pen, bool cross)
{
    painter.setPen(pen);
    const double w = box.width(), h = box.height();
    const int lines = int(std::ceil((w + h) / spacing - 0.5));
    for (int n = 0; n < lines; ++n) {
        const double d = (n + 0.5) * spacing;
        // Along a line, t is how far it has gone down from the top edge.
        const double t0 = qMax(0.0, d - w), t1 = qMin(h, d);
        if (t1 <= t0)
            continue;
        painter.drawLine(QPointF(box.left() + d - t0, box.top() + t0),
                         QPointF(box.left() + d - t1, box.top() + t1));
        if (cross)
            painter.drawLine(QPointF(box.right() - d + t0, box.top() + t0),
                             QPointF(box.right() - d + t1, box.top() + t1));
    }
}

// A dashed line as dashes of its own, so that the pattern starts where the
// line does whichever part of it is painted (the painter starts it where
// the line enters the region). pattern: dash, gap, dash, gap... in pixels.
void dashedLine(QPainter& painter, const QLineF& line, const QList<double>& pattern,
                const QRectF& visible)
{
    const double length = line.length();
    double at = 0;
    for (int k = 0; at < length; k = (k + 1) % int(pattern.size())) {
        const double end = qMin(length, at + pattern.at(k));
        if (k % 2 == 0) {
            const QLineF dash(line.pointAt(at / length), line.pointAt(end / length));
            if (visible.intersects(
                    QRectF(dash.p1(), dash.p2()).normalized().adjusted(-3, -3, 3, 3)))
                painter.drawLine(dash);
        }
        at = end;
    }
}

} // namespace

struct RealisticDrawing::Palette
{
    QColor ground, axis, wall, wallFill, hatch, column, door, window, text, roomName, dimension,
        bubble, bubbleText, furniture, note, cursor;
    QList<QColor> layers;
};

RealisticDrawing::RealisticDrawing(QSize size, bool whiteGround, quint32 seed)
    : m_size(size)
    , m_whiteGround(whiteGround)
    , m_seed(seed)
{
}

const RealisticDrawing::Palette& RealisticDrawing::palette() const
{
    // The colours CAD programs give their layers on a black screen, and the
    // darker ones they use on a white screen.
    static const Palette dark{ Qt::black,
                               QColor(255, 0, 0),
                               QColor(255, 255, 255),
                               QColor(96, 96, 96),
                               QColor(128, 128, 128),
                               QColor(255, 255, 255),
                               QColor(255, 255, 0),
                               QColor(0, 255, 255),
                               QColor(255, 255, 255),
                               QColor(255, 255, 0),
                               QColor(0, 255, 0),
                               QColor(0, 255, 0),
                               QColor(255, 255, 255),
                               QColor(255, 0, 255),
                               QColor(0, 255, 255),
                               QColor(255, 255, 255),
                               { QColor(255, 255, 255), QColor(255, 255, 0), QColor(0, 255, 255),
                                 QColor(0, 255, 0), QColor(255, 0, 255), QColor(255, 127, 0),
                                 QColor(127, 159, 255), QColor(180, 180, 180) } };
    static const Palette light{ Qt::white,
                                QColor(210, 0, 0),
                                QColor(0, 0, 0),
                                QColor(170, 170, 170),
                                QColor(150, 150, 150),
                                QColor(40, 40, 40),
                                QColor(170, 120, 0),
                                QColor(0, 140, 190),
                                QColor(0, 0, 0),
                                QColor(0, 0, 160),
                                QColor(0, 130, 0),
                                QColor(0, 130, 0),
                                QColor(0, 0, 0),
                                QColor(190, 0, 190),
                                QColor(0, 100, 140),
                                QColor(0, 0, 0),
                                { QColor(0, 0, 0), QColor(170, 120, 0), QColor(0, 140, 190),
                                  QColor(0, 130, 0), QColor(190, 0, 190), QColor(220, 100, 0),
                                  QColor(40, 60, 200), QColor(110, 110, 110) } };
    return m_whiteGround ? light : dark;
}

QImage RealisticDrawing::render(const QRect& region) const
{
    QImage image(region.size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(palette().ground);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.translate(-region.topLeft());
    const QRect drawn = region & QRect(QPoint(0, 0), m_size);
    if (drawn.isEmpty())
        return image;
    painter.setClipRect(drawn);
    const QRectF visible(drawn);
    const int firstColumn = qMax(0, (drawn.left() - PlanBleed) / PlanWidth);
    const int lastColumn = (drawn.right() + PlanBleed) / PlanWidth;
    const int firstRow = qMax(0, (drawn.top() - PlanBleed) / PlanHeight);
    const int lastRow = (drawn.bottom() + PlanBleed) / PlanHeight;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            paintPlan(painter, column, row, visible);
    return image;
}

QImage RealisticDrawing::capture(const QRect& region, quint32 cursorSeed) const
{
    QImage image = render(region);
    std::mt19937 random(cursorSeed * 2654435761u + m_seed);
    const QPoint centre(between(random, 0, region.width() - 1),
                        between(random, 0, region.height() - 1));
    // The crosshair is drawn crisp, as the programs draw it.
    QPainter painter(&image);
    painter.setPen(QPen(palette().cursor, 0));
    painter.drawLine(0, centre.y(), region.width() - 1, centre.y());
    painter.drawLine(centre.x(), 0, centre.x(), region.height() - 1);
    painter.drawRect(QRect(centre - QPoint(5, 5), QSize(10, 10)));
    return image;
}

qsizetype RealisticDrawing::colourCount(const QImage& image)
{
    const QImage picture = image.convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(line[x]);
    }
    return colours.size();
}

void RealisticDrawing::paintPlan(QPainter& painter, int column, int row,
                                 const QRectF& visible) const
{
    // Every random number is drawn whether or not its part is visible, so
    // that a part looks the same whichever region is painted.
    std::seed_seq seeds{ m_seed, quint32(column), quint32(row) };
    std::mt19937 random(seeds);
    const Palette& colours = palette();
    // Text may run well past what it belongs to: parts are left out only when
    // nothing of them can reach the region.
    const auto seen = [&](const QRectF& box) {
        return visible.intersects(box.adjusted(-Reach, -Reach, Reach, Reach));
    };

    const QRectF cell(column * PlanWidth, row * PlanHeight, PlanWidth, PlanHeight);
    const QRectF frame = cell.adjusted(PlanMargin, PlanMargin, -PlanMargin, -PlanMargin - 80);
    // Axes at spacings of whole hundreds of millimetres, placed off the pixel
    // grid as a zoomed drawing is.
    static const QList<int> spacings = {
        3000, 3300, 3600, 3900, 4200, 4500, 6000, 6600, 7200, 8100
    };
    QList<double> xs, ys;
    double x = frame.left() + between(random, 0.0, 1.0);
    while (x < frame.right()) {
        xs << x;
        x += pick(random, spacings) / double(MillimetresPerPixel);
    }
    double y = frame.top() + between(random, 0.0, 1.0);
    while (y < frame.bottom()) {
        ys << y;
        y += pick(random, spacings) / double(MillimetresPerPixel);
    }
    if (xs.size() < 2 || ys.size() < 2)
        return;
    const QRectF plan(QPointF(xs.first(), ys.first()), QPointF(xs.last(), ys.last()));
    const int firstNumber = column * 12 + 1;

    // Rooms: what fills them, hatched floors first.
    static const QStringList roomNames = {
        QStringLiteral("办公室"),     QStringLiteral("会议室"),     QStringLiteral("走廊"),
        QStringLiteral("楼梯间"),     QStringLiteral("卫生间"),     QStringLiteral("设备间"),
        QStringLiteral("前室"),       QStringLiteral("档案室"),     QStringLiteral("配电间"),
        QStringLiteral("值班室"),     QStringLiteral("电梯厅"),     QStringLiteral("开水间"),
        QStringLiteral("库房"),       QStringLiteral("门厅"),       QStringLiteral("消防控制室"),
        QStringLiteral("Lab 实验室"), QStringLiteral("Server 机房")
    };
    static const QStringList notes = {
        QStringLiteral(
            "说明：\n1. 本图尺寸以毫米计，标高以米计。\n2. 墙体除注明外均为200厚加气混凝土砌块。\n"
            "3. 卫生间地面比同层地面低20mm，坡向地漏 i=1%。\n4. 门窗编号见门窗表 M-01。"),
        QStringLiteral("注：\n防火门 FM甲1021 应设闭门器；\n管道井每层在楼板处用C20混凝土封堵；\n"
                       "Fire rating: 2.0h, see detail D-12."),
        QStringLiteral("图例：\n▨ 钢筋混凝土  ▤ 砌体墙\n○ 地漏 FD-50  ◎ 检修口 600x600"),
    };
    struct Room
    {
        QRectF box;
        int kind; // 0 empty, 1 hatched floor, 2 tiled floor, 3 stair, 4 desks, 5 notes
        QString name;
        double area;
        double nameSize;
    };
    QList<Room> rooms;
    for (int j = 0; j + 1 < ys.size(); ++j)
        for (int i = 0; i + 1 < xs.size(); ++i) {
            Room room;
            room.box = QRectF(QPointF(xs.at(i), ys.at(j)), QPointF(xs.at(i + 1), ys.at(j + 1)));
            room.kind = between(random, 0, 5);
            room.name = room.kind == 3 ? QStringLiteral("楼梯间") : pick(random, roomNames);
            room.area = room.box.width() * room.box.height() * MillimetresPerPixel *
                        MillimetresPerPixel / 1e6;
            room.nameSize = between(random, 14, 22);
            rooms << room;
        }
    for (const Room& room : std::as_const(rooms)) {
        if (!seen(room.box))
            continue;
        const QRectF inside = room.box.adjusted(8, 8, -8, -8);
        if (room.kind == 1)
            hatch(painter, inside, 11.3, QPen(colours.hatch, 0.7), false);
        else if (room.kind == 2)
            hatch(painter, inside, 15.0, QPen(colours.hatch, 0.5), true);
    }

    // The axes, dash-dot, past the plan to their bubbles.
    static const QList<double> dashDot = { 14, 4, 1.5, 4 };
    painter.setPen(QPen(colours.axis, 1.0, Qt::SolidLine, Qt::FlatCap));
    for (double ax : std::as_const(xs))
        if (seen(QRectF(ax - 1, cell.top(), 2, cell.height())))
            dashedLine(painter, QLineF(ax, cell.top() + 60, ax, cell.bottom() - 140), dashDot,
                       visible);
    for (double ay : std::as_const(ys))
        if (seen(QRectF(cell.left(), ay - 1, cell.width(), 2)))
            dashedLine(painter, QLineF(cell.left() + 60, ay, cell.right() - 60, ay), dashDot,
                       visible);

    // Walls along the axes: outer walls always, inner ones mostly, hatched as
    // concrete or filled as masonry; doors and windows in them.
    struct Wall
    {
        QRectF box;
        bool across;
        bool outer;
        int opening; // 0 none, 1 door, 2 window
        double at;   // where along the wall the opening starts, 0..1
        double leaf;
        int quarter;
        bool concrete;
    };
    QList<Wall> walls;
    const double thickness = 200.0 / MillimetresPerPixel;
    for (int j = 0; j < ys.size(); ++j)
        for (int i = 0; i + 1 < xs.size(); ++i) {
            const bool outer = j == 0 || j + 1 == ys.size();
            Wall wall{ QRectF(xs.at(i), ys.at(j) - thickness / 2, xs.at(i + 1) - xs.at(i),
                              thickness),
                       true,
                       outer,
                       0,
                       between(random, 0.15, 0.6),
                       between(random, 38.0, 52.0),
                       between(random, 0, 3),
                       chance(random, 0.3) };
            wall.opening = outer ? (chance(random, 0.7) ? 2 : 0) : (chance(random, 0.4) ? 1 : 0);
            if (outer || chance(random, 0.75))
                walls << wall;
        }
    for (int i = 0; i < xs.size(); ++i)
        for (int j = 0; j + 1 < ys.size(); ++j) {
            const bool outer = i == 0 || i + 1 == xs.size();
            Wall wall{ QRectF(xs.at(i) - thickness / 2, ys.at(j), thickness,
                              ys.at(j + 1) - ys.at(j)),
                       false,
                       outer,
                       0,
                       between(random, 0.15, 0.6),
                       between(random, 38.0, 52.0),
                       between(random, 0, 3),
                       chance(random, 0.3) };
            wall.opening = outer ? (chance(random, 0.7) ? 2 : 0) : (chance(random, 0.4) ? 1 : 0);
            if (outer || chance(random, 0.75))
                walls << wall;
        }
    for (const Wall& wall : std::as_const(walls)) {
        if (!seen(wall.box))
            continue;
        if (wall.concrete)
            hatch(painter, wall.box, 3.7, QPen(colours.hatch, 0.6), false);
        else
            painter.fillRect(wall.box, colours.wallFill);
        painter.setPen(QPen(colours.wall, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(wall.box);
    }
    QFont tagFont = latinFont(11);
    for (const Wall& wall : std::as_const(walls)) {
        if (wall.opening == 0 || !seen(wall.box.adjusted(-60, -60, 60, 60)))
            continue;
        const double length = wall.across ? wall.box.width() : wall.box.height();
        const double start = wall.at * length;
        const double span = wall.opening == 1 ? wall.leaf : qMin(length * 0.45, 90.0);
        const QRectF gap =
            wall.across
                ? QRectF(wall.box.left() + start, wall.box.top() - 0.5, span, wall.box.height() + 1)
                : QRectF(wall.box.left() - 0.5, wall.box.top() + start, wall.box.width() + 1, span);
        painter.fillRect(gap, colours.ground);
        if (wall.opening == 2) {
            painter.setPen(QPen(colours.window, 0.8));
            for (int k = 0; k < 4; ++k) {
                const double t = k / 3.0;
                if (wall.across)
                    painter.drawLine(
                        QPointF(gap.left(), gap.top() + 0.5 + t * (gap.height() - 1)),
                        QPointF(gap.right(), gap.top() + 0.5 + t * (gap.height() - 1)));
                else
                    painter.drawLine(
                        QPointF(gap.left() + 0.5 + t * (gap.width() - 1), gap.top()),
                        QPointF(gap.left() + 0.5 + t * (gap.width() - 1), gap.bottom()));
            }
            painter.setFont(tagFont);
            painter.setPen(colours.text);
            painter.drawText(
                gap.center() + (wall.across ? QPointF(-18, -14) : QPointF(12, 4)),
                QStringLiteral("C%1").arg(int(span * MillimetresPerPixel / 100) * 100 + 18));
            continue;
        }
        // A door: the leaf and its swing.
        const double angle = wall.quarter * M_PI / 2;
        const QPointF hinge =
            wall.across
                ? QPointF(wall.quarter == 1 || wall.quarter == 2 ? gap.right() : gap.left(),
                          wall.box.center().y())
                : QPointF(wall.box.center().x(), wall.quarter < 2 ? gap.bottom() : gap.top());
        painter.setPen(QPen(colours.door, 0.9));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(hinge.x() - span, hinge.y() - span, 2 * span, 2 * span),
                        wall.quarter * 90 * 16, 90 * 16);
        painter.drawLine(hinge, hinge + QPointF(span * std::cos(angle), -span * std::sin(angle)));
        painter.setFont(tagFont);
        painter.setPen(colours.text);
        painter.drawText(gap.center() + QPointF(6, -8),
                         QStringLiteral("M%1").arg(int(span) * 20 + 21));
    }

    // Columns where the axes cross.
    const double side = 500.0 / MillimetresPerPixel;
    for (double cy : std::as_const(ys))
        for (double cx : std::as_const(xs)) {
            const bool present = chance(random, 0.8);
            const QRectF box(cx - side / 2, cy - side / 2, side, side);
            if (!present || !seen(box))
                continue;
            painter.fillRect(box, colours.ground);
            hatch(painter, box, 3.2, QPen(colours.column, 0.7), true);
            painter.setPen(QPen(colours.wall, 1.2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box);
        }

    // What is in the rooms: desks and chairs, a stair, notes; their names.
    for (const Room& room : std::as_const(rooms)) {
        const QRectF inside = room.box.adjusted(18, 18, -18, -18);
        const int desks = between(random, 2, 8);
        const double deskTurn = between(random, 0.0, 1.0);
        const QColor furniture = pick(random, colours.layers);
        const QString& note = pick(random, notes);
        const double level = between(random, -3, 40) * 0.15;
        if (!seen(room.box))
            continue;
        painter.setBrush(Qt::NoBrush);
        if (room.kind == 3) {
            painter.setPen(QPen(colours.wall, 0.8));
            const double step = 280.0 / MillimetresPerPixel;
            const double middle = inside.center().x();
            const int treads = int(inside.height() / step) + 1;
            for (int n = 0; n < treads; ++n) {
                const double sy = inside.top() + n * step;
                painter.drawLine(QPointF(inside.left(), sy), QPointF(middle - 4, sy));
                painter.drawLine(QPointF(middle + 4, sy), QPointF(inside.right(), sy));
            }
            painter.drawRect(QRectF(middle - 4, inside.top(), 8, inside.height()));
            painter.setPen(QPen(colours.furniture, 1.0));
            painter.drawLine(QPointF(middle - 20, inside.bottom() - 10),
                             QPointF(middle - 20, inside.top() + 30));
            painter.drawLine(QPointF(middle - 20, inside.top() + 30),
                             QPointF(middle - 26, inside.top() + 44));
            painter.drawLine(QPointF(middle - 20, inside.top() + 30),
                             QPointF(middle - 14, inside.top() + 44));
            painter.setFont(cjkFont(14));
            painter.drawText(QPointF(middle - 40, inside.top() + 40), QStringLiteral("上"));
        } else if (room.kind == 4) {
            painter.setPen(QPen(furniture, 0.8));
            for (int d = 0; d < desks; ++d) {
                const int deskRow = d / 4, deskColumn = d % 4;
                const QPointF at(inside.left() + 20 + deskColumn * 70 + deskTurn * 9,
                                 inside.top() + 40 + deskRow * 80);
                const QRectF desk(at, QSizeF(60, 30));
                if (!inside.contains(desk))
                    continue;
                painter.drawRect(desk);
                painter.drawEllipse(QPointF(desk.center().x(), desk.bottom() + 12), 8, 8);
                painter.drawLine(desk.topLeft() + QPointF(8, 6), desk.topLeft() + QPointF(30, 6));
            }
        } else if (room.kind == 5) {
            painter.setFont(cjkFont(13));
            painter.setPen(colours.note);
            painter.drawText(inside.adjusted(10, 40, 0, 0), Qt::AlignLeft | Qt::AlignTop, note);
        } else {
            // Cabinets along the top wall, a basin or two.
            painter.setPen(QPen(furniture, 0.8));
            for (int d = 0; d < desks; ++d) {
                const QRectF cabinet(inside.left() + 4 + d * 34, inside.top() + 2, 30, 22);
                if (!inside.contains(cabinet))
                    break;
                painter.drawRect(cabinet);
                painter.drawLine(cabinet.topLeft(), cabinet.bottomRight());
            }
            const QPointF basin(inside.right() - 30, inside.bottom() - 30 - deskTurn * 20);
            painter.drawEllipse(basin, 12, 9);
            painter.drawEllipse(basin, 3, 3);
        }
        // The room's name and floor area, and its level.
        const QPointF centre = room.box.center();
        painter.setFont(cjkFont(int(room.nameSize)));
        painter.setPen(colours.roomName);
        painter.drawText(QRectF(centre.x() - 120, centre.y() - 30, 240, 30),
                         Qt::AlignHCenter | Qt::AlignBottom, room.name);
        painter.setFont(latinFont(12));
        painter.setPen(colours.text);
        painter.drawText(QRectF(centre.x() - 120, centre.y() + 2, 240, 20),
                         Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("%1 m²").arg(room.area, 0, 'f', 2));
        const QPointF mark(room.box.left() + 30, room.box.bottom() - 30);
        painter.setPen(QPen(colours.dimension, 0.8));
        painter.drawPolyline(QPolygonF({ mark + QPointF(-8, -8), mark, mark + QPointF(8, -8),
                                         mark + QPointF(-8, -8), mark + QPointF(60, -8) }));
        painter.setFont(latinFont(10));
        painter.drawText(
            mark + QPointF(0, -11),
            level == 0 ? QStringLiteral("±0.000")
                       : QStringLiteral("%1%2").arg(level > 0 ? "+" : "").arg(level, 0, 'f', 3));
    }

    // Dimension chains above and to the left of the plan: between the axes,
    // then overall.
    QFont dimensionFont = latinFont(12);
    painter.setFont(dimensionFont);
    const auto chain = [&](const QList<double>& at, bool across, double offset) {
        const double base = across ? plan.top() - offset : plan.left() - offset;
        const QRectF band = across ? QRectF(plan.left() - 20, base - 30, plan.width() + 40, 60)
                                   : QRectF(base - 30, plan.top() - 20, 60, plan.height() + 40);
        if (!seen(band))
            return;
        painter.setPen(QPen(colours.dimension, 0.8));
        const auto point = [&](double along, double away) {
            return across ? QPointF(along, base + away) : QPointF(base + away, along);
        };
        painter.drawLine(point(at.first() - 12, 0), point(at.last() + 12, 0));
        for (double a : at) {
            painter.drawLine(point(a, -8), point(a, 24));
            painter.setPen(QPen(colours.dimension, 1.6));
            painter.drawLine(point(a - 4, 4), point(a + 4, -4));
            painter.setPen(QPen(colours.dimension, 0.8));
        }
        for (int k = 0; k + 1 < at.size(); ++k) {
            const QString text = QString::number(
                qRound((at.at(k + 1) - at.at(k)) * MillimetresPerPixel / 100) * 100);
            const double middle = (at.at(k) + at.at(k + 1)) / 2;
            painter.save();
            painter.translate(point(middle, -4));
            if (!across)
                painter.rotate(-90);
            painter.setPen(colours.dimension);
            painter.drawText(QRectF(-60, -18, 120, 16), Qt::AlignHCenter | Qt::AlignBottom, text);
            painter.restore();
        }
    };
    chain(xs, true, 110);
    chain({ xs.first(), xs.last() }, true, 160);
    chain(ys, false, 110);
    chain({ ys.first(), ys.last() }, false, 160);

    // Axis bubbles at both ends of every axis.
    const double radius = 22;
    painter.setFont(latinFont(20));
    const auto bubble = [&](QPointF centre, const QString& name) {
        if (!seen(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius)))
            return;
        painter.setPen(QPen(colours.bubble, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
        painter.setPen(colours.bubbleText);
        painter.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
                         Qt::AlignCenter, name);
    };
    for (int i = 0; i < xs.size(); ++i) {
        bubble(QPointF(xs.at(i), cell.top() + 60 + radius), QString::number(firstNumber + i));
        bubble(QPointF(xs.at(i), cell.bottom() - 140 + radius), QString::number(firstNumber + i));
    }
    for (int j = 0; j < ys.size(); ++j) {
        bubble(QPointF(cell.left() + 60 - radius, ys.at(j)), axisLetter(j + row * 10));
        bubble(QPointF(cell.right() - 60 + radius, ys.at(j)), axisLetter(j + row * 10));
    }

    // Pipes and ducts across the plan, dashed, with their tags.
    static const QStringList pipeTags = { QStringLiteral("给水 JL-%1 DN100"),
                                          QStringLiteral("排水 WL-%1 DN150"),
                                          QStringLiteral("消防 XL-%1 DN65"),
                                          QStringLiteral("风管 PF-%1 800x320") };
    const int pipes = between(random, 3, 7);
    for (int p = 0; p < pipes; ++p) {
        const bool across = chance(random, 0.5);
        const double at = across ? between(random, plan.top() + 20, plan.bottom() - 20)
                                 : between(random, plan.left() + 20, plan.right() - 20);
        const QColor colour = pick(random, colours.layers);
        const QString tag = pick(random, pipeTags).arg(between(random, 1, 30));
        const double tagAt = between(random, 0.1, 0.8);
        const QLineF line = across ? QLineF(plan.left(), at, plan.right(), at)
                                   : QLineF(at, plan.top(), at, plan.bottom());
        if (!seen(QRectF(line.p1(), line.p2()).normalized()))
            continue;
        painter.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::FlatCap));
        dashedLine(painter, line, { 8, 5 }, visible);
        painter.setPen(QPen(colour, 0.8));
        const QPointF foot = line.pointAt(tagAt);
        painter.drawLine(foot, foot + QPointF(30, -30));
        painter.drawLine(foot + QPointF(30, -30), foot + QPointF(150, -30));
        painter.setFont(cjkFont(12));
        painter.drawText(foot + QPointF(34, -34), tag);
    }

    // The plan's title with its double underline.
    const QString title = QStringLiteral("%1层平面图  1:100").arg(row * 4 + column + 1);
    const QRectF titleBox(plan.center().x() - 260, cell.bottom() - 88, 520, 56);
    if (seen(titleBox)) {
        painter.setFont(cjkFont(40, true));
        painter.setPen(colours.text);
        painter.drawText(titleBox, Qt::AlignCenter, title);
        painter.setPen(QPen(colours.text, 2.2));
        painter.drawLine(titleBox.bottomLeft() + QPointF(40, 4),
                         titleBox.bottomRight() + QPointF(-40, 4));
        painter.setPen(QPen(colours.text, 0.8));
        painter.drawLine(titleBox.bottomLeft() + QPointF(40, 10),
                         titleBox.bottomRight() + QPointF(-40, 10));
    }
}
