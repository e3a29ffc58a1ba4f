#pragma once

#include <QHeaderView>

// The row header of CALXGridCtrl: buttons with the 1-based row numbers,
// right-aligned, and a small triangle marking the current row.
class CALXGridRowHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit CALXGridRowHeader(QWidget* parent = nullptr);

    void SetCurrentRow(int row);
    int CurrentRow() const { return m_currentRow; }
    // The marker stands 8 pixels from the right edge instead of centred.
    void SetMarkerAtRight(bool atRight);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_currentRow = -1;
    bool m_markerAtRight = false;
};
