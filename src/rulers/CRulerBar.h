#pragma once

#include "JoinCodes.h"

#include "ColorRef.h"

#include <QCursor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

class CImgJoinEngine;
class QPainter;

// Common part of the two ruler bars along the view's bottom and right edges.
// A bar lays its ruler table out when it paints after a change, draws ticks,
// names and spans, slides with the middle button and resets with its small
// square. After a paint that followed a change it emits rulerRefresh with
// RulerRefresh::RRN_BAR_CHANGED, which the main frame relays to the views.
//
// Geometry follows the window-rectangle convention: right and bottom are one
// past the last pixel (left + width, top + height).
class CRulerBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr ColorRef NameColor = 0x808000;
    static constexpr ColorRef SpanColor = 122;
    static constexpr ColorRef DividerColor = 0x787878;
    static constexpr ColorRef ResetFillColor = 0xFFC87A;
    static constexpr ColorRef ResetTopLeftColor = 222;
    static constexpr ColorRef ResetBottomRightColor = 0xDEDE00;
    static constexpr int ResetSize = 16;
    static constexpr int DragThreshold = 5;

    // A distance label between two marked lines, as the last paint drew it.
    struct SpanLabel
    {
        QString text;
        QRect rect;
    };

    // One visible line of the bar's table, as the last layout placed it.
    struct Line
    {
        int tickLen = 0;
        int pos = 0;
        ColorRef colour = 0;
        QString name;
    };

    CRulerBar(CImgJoinEngine& engine, RulerTableId table, QWidget* parent = nullptr);

    RulerTableId table() const { return m_table; }
    int offset() const { return m_offset; }
    QRect resetRect() const { return m_resetRect; }
    const QList<SpanLabel>& spanLabels() const { return m_spanLabels; }

public slots:
    // Lays the table out again at the next paint and tells the views after it.
    void RequestRelayout();

signals:
    // Sent synchronously to the main frame (code, param = 0 from a bar).
    void rulerRefresh(int code, int param);

protected:
    // The bar's own geometry: where the lines run and where the square sits.
    virtual void layoutTable(const QRect& rc) = 0;
    virtual void drawLines(QPainter& painter, const QRect& rc) = 0;
    virtual void drawDivider(QPainter& painter, const QRect& rc) = 0;
    virtual QPoint resetCentre(const QRect& rc) const = 0;
    // The change of the offset for a middle-button drag from start to end,
    // before the threshold is applied.
    virtual int dragShift(const QPoint& start, const QPoint& end) const = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    bool lineAt(int index, Line& line) const;
    // The distance in drawing units from visible line `from` up to line `to`.
    QString spanText(int from, int to) const;
    // Draws text with its top-left corner at topLeft in the given colour.
    static void drawTextAt(QPainter& painter, const QPoint& topLeft, const QString& text,
                           ColorRef colour);
    void drawSpanLabel(QPainter& painter, const QString& text, const QPoint& topLeft);

    static int rectRight(const QRect& rc) { return rc.left() + rc.width(); }
    static int rectBottom(const QRect& rc) { return rc.top() + rc.height(); }

    CImgJoinEngine& m_engine;
    RulerTableId m_table;
    int m_offset = 0;
    bool m_laidOut = false;
    int m_pendingCode = 0;

private:
    void drawResetButton(QPainter& painter, const QRect& rc);
    void finishDrag(const QPoint& end);
    static QCursor loadDragCursor();

    QFont m_font;
    QCursor m_dragCursor;
    bool m_dragging = false;
    QPoint m_dragStart;
    QRect m_resetRect;
    QList<SpanLabel> m_spanLabels;
};
