#include "CRulerBar.h"

#include "CImgJoinEngine.h"
#include "CanvasMath.h"
#include "RulerRefresh.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cstdlib>
#include <utility>

namespace {

constexpr int FontPixelSize = 12;

// A frame of one pixel: top and left edges in one colour, right and bottom
// edges (with the top-right and bottom-left corners) in the other.
void draw3dFrame(QPainter& painter, const QRect& box, ColorRef topLeft, ColorRef bottomRight)
{
    const QColor light = colorRefToColor(topLeft);
    const QColor dark = colorRefToColor(bottomRight);
    const int x = box.left();
    const int y = box.top();
    const int w = box.width();
    const int h = box.height();
    painter.fillRect(QRect(x, y, w - 1, 1), light);
    painter.fillRect(QRect(x, y, 1, h - 1), light);
    painter.fillRect(QRect(x + w - 1, y, 1, h), dark);
    painter.fillRect(QRect(x, y + h - 1, w, 1), dark);
}

} // namespace

CRulerBar::CRulerBar(CImgJoinEngine& engine, RulerTableId table, QWidget* parent)
    : QWidget(parent)
    , m_engine(engine)
    , m_table(table)
    , m_font(QApplication::font())
    , m_dragCursor(loadDragCursor())
{
    m_font.setPixelSize(FontPixelSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRulerBar::RequestRelayout()
{
    m_laidOut = false;
    m_pendingCode = RulerRefresh::RRN_BAR_CHANGED;
    update();
}

void CRulerBar::paintEvent(QPaintEvent*)
{
    {
        QPainter painter(this);
        const QRect rc = rect();
        painter.fillRect(rc, colorRefToColor(m_engine.GetRulerBackColor()));
        painter.setFont(m_font);
        if (!m_laidOut) {
            m_laidOut = true;
            layoutTable(rc);
        }
        m_spanLabels.clear();
        drawLines(painter, rc);
        drawDivider(painter, rc);
        drawResetButton(painter, rc);
    }
    // Taken before the signal goes out, so a relayout requested while the
    // frame handles it is kept for the next paint.
    const int code = std::exchange(m_pendingCode, 0);
    if (code > 0)
        emit rulerRefresh(code, 0);
}

void CRulerBar::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (m_resetRect.contains(point)) {
            m_offset = 0;
            RequestRelayout();
        }
        event->accept();
    } else if (event->button() == Qt::MiddleButton) {
        m_dragStart = point;
        m_dragging = true;
        setCursor(m_dragCursor);
        event->accept();
    } else {
        QWidget::mousePressEvent(event);
    }
}

void CRulerBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::MiddleButton)
        setCursor(m_dragCursor);
    event->accept();
}

void CRulerBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    unsetCursor();
    // A release ends the drag, so a later release can never reuse an old
    // starting point.
    if (std::exchange(m_dragging, false))
        finishDrag(event->position().toPoint());
    event->accept();
}

void CRulerBar::finishDrag(const QPoint& end)
{
    const int shift = dragShift(m_dragStart, end);
    if (std::abs(shift) <= DragThreshold)
        return;
    m_offset = saturateToInt(qint64(m_offset) + shift);
    RequestRelayout();
}

bool CRulerBar::lineAt(int index, Line& line) const
{
    return m_engine.GetRulerLine(m_table, index, line.tickLen, line.pos, line.colour, line.name) ==
           1;
}

QString CRulerBar::spanText(int from, int to) const
{
    return QString::number(m_engine.SumRulerSpacing(m_table, from, to));
}

void CRulerBar::drawTextAt(QPainter& painter, const QPoint& topLeft, const QString& text,
                           ColorRef colour)
{
    painter.setPen(colorRefToColor(colour));
    painter.drawText(topLeft.x(), topLeft.y() + painter.fontMetrics().ascent(), text);
}

void CRulerBar::drawSpanLabel(QPainter& painter, const QString& text, const QPoint& topLeft)
{
    drawTextAt(painter, topLeft, text, SpanColor);
    const QFontMetrics metrics = painter.fontMetrics();
    m_spanLabels.append(
        { text, QRect(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height())) });
}

void CRulerBar::drawResetButton(QPainter& painter, const QRect& rc)
{
    const QPoint centre = resetCentre(rc);
    const int half = ResetSize / 2;
    m_resetRect = QRect(centre.x() - half, centre.y() - half, ResetSize, ResetSize);
    painter.fillRect(m_resetRect, colorRefToColor(ResetFillColor));
    draw3dFrame(painter, m_resetRect, ResetTopLeftColor, ResetBottomRightColor);
}

QCursor CRulerBar::loadDragCursor()
{
    const QPixmap pixmap(QStringLiteral(":/cursors/ruler-drag.svg"));
    if (pixmap.isNull())
        return QCursor(Qt::SizeAllCursor);
    // The hot spot is the centre of the picture.
    return QCursor(pixmap, pixmap.width() / 2, pixmap.height() / 2);
}
