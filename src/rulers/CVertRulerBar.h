#pragma once

#include "CRulerBar.h"

class CImgJoinEngine;

// The ruler bar along the view's right edge: table 201, positions counted
// upward from the bar's bottom edge, the reset square at its top end.
class CVertRulerBar : public CRulerBar
{
    Q_OBJECT

public:
    static constexpr int BarWidth = 38;
    static constexpr int MinSpanDistance = 29; // closer marked lines get no span label

    explicit CVertRulerBar(CImgJoinEngine& engine, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void layoutTable(const QRect& rc) override;
    void drawLines(QPainter& painter, const QRect& rc) override;
    void drawDivider(QPainter& painter, const QRect& rc) override;
    QPoint resetCentre(const QRect& rc) const override;
    int dragShift(const QPoint& start, const QPoint& end) const override;

private:
    void drawName(QPainter& painter, const QRect& rc, int y, const Line& line);
};
