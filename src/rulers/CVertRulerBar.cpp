#include "CVertRulerBar.h"

#include "CImgJoinEngine.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int PlainTickLen = 10;
constexpr int SpanLeft = 5;      // span labels start this far right of the left edge
constexpr int DividerColumn = 2; // the divider runs this far right of the left edge
constexpr int ResetInset = 13;   // the reset square's centre below the top edge
constexpr int HintLength = 200;

} // namespace

CVertRulerBar::CVertRulerBar(CImgJoinEngine& engine, QWidget* parent)
    : CRulerBar(engine, RulerTableId::Vertical, parent)
{
    setFixedWidth(BarWidth);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

QSize CVertRulerBar::sizeHint() const
{
    return QSize(BarWidth, HintLength);
}

void CVertRulerBar::layoutTable(const QRect& rc)
{
    m_engine.LayoutRuler(m_table, rc.top(), rectBottom(rc), m_offset);
}

void CVertRulerBar::drawLines(QPainter& painter, const QRect& rc)
{
    const int count = m_engine.GetRulerLineCount(m_table);
    int prevIndex = -1;
    int prevY = -1;
    for (int i = 0; i < count; ++i) {
        Line line;
        if (!lineAt(i, line))
            continue;
        const int y = rectBottom(rc) - line.pos;
        if (y <= rc.top())
            break;
        painter.fillRect(QRect(rc.left(), y, line.tickLen, 1), colorRefToColor(line.colour));
        drawName(painter, rc, y, line);
        if (line.tickLen <= PlainTickLen)
            continue;
        if (prevIndex >= 0 && prevY - y > MinSpanDistance) {
            const int height = painter.fontMetrics().height();
            drawSpanLabel(painter, spanText(prevIndex, i),
                          QPoint(rc.left() + SpanLeft, (y + prevY) / 2 - height / 2));
        }
        prevIndex = i;
        prevY = y;
    }
}

void CVertRulerBar::drawName(QPainter& painter, const QRect& rc, int y, const Line& line)
{
    if (line.name.isEmpty())
        return;
    const int height = painter.fontMetrics().height();
    drawTextAt(painter, QPoint(rc.left() + line.tickLen, y - height / 2), line.name, NameColor);
}

void CVertRulerBar::drawDivider(QPainter& painter, const QRect& rc)
{
    painter.fillRect(QRect(rc.left() + DividerColumn, rc.top(), 1, rc.height()),
                     colorRefToColor(DividerColor));
}

QPoint CVertRulerBar::resetCentre(const QRect& rc) const
{
    return QPoint((rc.left() + rectRight(rc)) / 2, rc.top() + ResetInset);
}

int CVertRulerBar::dragShift(const QPoint& start, const QPoint& end) const
{
    // Positions grow upward, so the lines follow the mouse when the offset
    // moves against the screen's y.
    return -(end.y() - start.y());
}
