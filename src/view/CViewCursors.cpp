#include "CViewCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int CursorSize = 32;
constexpr QRgb MarkFill = 0xFFFFF2B3;
constexpr QRgb MarkEdge = 0xFFB22222;

} // namespace

CViewCursors::CViewCursors()
    : m_pan(load("pan", 16, 16, Qt::SizeAllCursor))
    , m_band(load("band", 15, 15, Qt::CrossCursor))
    , m_whole(load("whole", 2, 2, Qt::PointingHandCursor))
    , m_trimLine(load("trimline", 15, 15, Qt::SplitVCursor))
{
    // Up, right, down, left, as quarter turns of the upward arrow.
    for (int turns = 0; turns < 4; ++turns)
        m_marks[turns] = drawMark(turns);
}

QCursor CViewCursors::load(const char* name, int hotX, int hotY, Qt::CursorShape fallback)
{
    const QString file = QStringLiteral(":/cursors/%1.svg").arg(QLatin1String(name));
    const QPixmap picture(file);
    if (picture.isNull())
        return QCursor(fallback);
    return QCursor(picture.scaled(CursorSize, CursorSize), hotX, hotY);
}

QImage CViewCursors::drawMark(int quarterTurns)
{
    QImage mark(MarkSize, MarkSize, QImage::Format_ARGB32_Premultiplied);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(MarkSize / 2.0, MarkSize / 2.0);
    painter.rotate(90.0 * quarterTurns);
    painter.setPen(QPen(QColor(MarkEdge), 1.5));
    painter.setBrush(QColor(MarkFill));
    painter.drawEllipse(QPointF(0, 0), 14.5, 14.5);
    // An arrow pointing where the kept part is joined to.
    QPainterPath arrow;
    arrow.moveTo(0, -11);
    arrow.lineTo(8, -2);
    arrow.lineTo(3, -2);
    arrow.lineTo(3, 10);
    arrow.lineTo(-3, 10);
    arrow.lineTo(-3, -2);
    arrow.lineTo(-8, -2);
    arrow.closeSubpath();
    painter.setBrush(QColor(MarkEdge));
    painter.setPen(Qt::NoPen);
    painter.drawPath(arrow);
    return mark;
}

QImage CViewCursors::joinMark(TrimMode mode) const
{
    switch (mode) {
        case TrimMode::FromBelow: return m_marks[0]; // up
        case TrimMode::FromAbove: return m_marks[2]; // down
        case TrimMode::FromRight: return m_marks[3]; // left
        case TrimMode::FromLeft: return m_marks[1];  // right
        case TrimMode::None: break;
    }
    return {};
}
