#include "CHorzRulerBar.h"

#include "CImgJoinEngine.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int PlainTickLen = 10;
constexpr int NameDrop = 4;    // names sit this far below the tick's end
constexpr int SpanTop = 4;     // span labels start this far below the top
constexpr int DividerRow = 2;  // the divider runs this far below the top
constexpr int ResetInset = 13; // the reset square's centre from the right edge
constexpr int HintLength = 200;

} // namespace

CHorzRulerBar::CHorzRulerBar(CImgJoinEngine& engine, QWidget* parent)
    : CRulerBar(engine, RulerTableId::Horizontal, parent)
{
    setFixedHeight(BarHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize CHorzRulerBar::sizeHint() const
{
    return QSize(HintLength, BarHeight);
}

void CHorzRulerBar::layoutTable(const QRect& rc)
{
    m_engine.LayoutRuler(m_table, rc.left(), rectRight(rc), m_offset);
}

void CHorzRulerBar::drawLines(QPainter& painter, const QRect& rc)
{
    const int count = m_engine.GetRulerLineCount(m_table);
    int prevIndex = -1;
    int prevX = -1;
    for (int i = 0; i < count; ++i) {
        Line line;
        if (!lineAt(i, line))
            continue;
        const int x = line.pos + rc.left();
        if (x >= rectRight(rc))
            break;
        painter.fillRect(QRect(x, rc.top(), 1, line.tickLen), colorRefToColor(line.colour));
        drawName(painter, rc, x, line);
        if (line.tickLen <= PlainTickLen)
            continue;
        if (prevIndex >= 0 && x - prevX > MinSpanDistance) {
            const QString text = spanText(prevIndex, i);
            const int width = painter.fontMetrics().horizontalAdvance(text);
            drawSpanLabel(painter, text, QPoint((x + prevX) / 2 - width / 2, rc.top() + SpanTop));
        }
        prevIndex = i;
        prevX = x;
    }
}

void CHorzRulerBar::drawName(QPainter& painter, const QRect& rc, int x, const Line& line)
{
    if (line.name.isEmpty())
        return;
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(line.name);
    const int height = metrics.height();
    drawTextAt(painter, QPoint(x - width / 2, rc.top() + line.tickLen - height / 2 + NameDrop),
               line.name, NameColor);
}

void CHorzRulerBar::drawDivider(QPainter& painter, const QRect& rc)
{
    painter.fillRect(QRect(rc.left(), rc.top() + DividerRow, rc.width(), 1),
                     colorRefToColor(DividerColor));
}

QPoint CHorzRulerBar::resetCentre(const QRect& rc) const
{
    return QPoint(rectRight(rc) - ResetInset, (rc.top() + rectBottom(rc)) / 2);
}

int CHorzRulerBar::dragShift(const QPoint& start, const QPoint& end) const
{
    return end.x() - start.x();
}
