#pragma once

#include "CRulerBar.h"

class CImgJoinEngine;

// The ruler bar along the view's bottom edge: table 101, positions counted
// from the bar's left edge, the reset square at its right end.
class CHorzRulerBar : public CRulerBar
{
    Q_OBJECT

public:
    static constexpr int BarHeight = 26;
    static constexpr int MinSpanDistance = 35; // closer marked lines get no span label

    explicit CHorzRulerBar(CImgJoinEngine& engine, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void layoutTable(const QRect& rc) override;
    void drawLines(QPainter& painter, const QRect& rc) override;
    void drawDivider(QPainter& painter, const QRect& rc) override;
    QPoint resetCentre(const QRect& rc) const override;
    int dragShift(const QPoint& start, const QPoint& end) const override;

private:
    void drawName(QPainter& painter, const QRect& rc, int x, const Line& line);
};
