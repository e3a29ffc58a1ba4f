#pragma once

#include <QWidget>

class CImgJoinEngine;

// Common part of the two ruler bars along the view's bottom and right edges.
// A bar lays its ruler table out when it paints after a change, draws ticks,
// names and spans, slides with the middle button and resets with its small
// square. After a paint that followed a change it emits rulerRefresh with
// RulerRefresh::RRN_BAR_CHANGED, which the main frame relays to the views.
class CRulerBar : public QWidget
{
    Q_OBJECT

public:
    CRulerBar(CImgJoinEngine& engine, int table, QWidget* parent = nullptr);

    int table() const { return m_table; }
    int offset() const { return m_offset; }

public slots:
    // Lays the table out again at the next paint and tells the views after it.
    void RequestRelayout();

signals:
    // Sent synchronously to the main frame (code, param = 0 from a bar).
    void rulerRefresh(int code, int param);

protected:
    CImgJoinEngine& m_engine;
    int m_table;
    int m_offset = 0;
    bool m_laidOut = false;
    int m_pendingCode = 0;
};
