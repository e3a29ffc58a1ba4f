#pragma once

#include "CALXGridCtrl.h"

class CImgJoinEngine;
class RulerTableModel;

// The grid of the grid-line dialog: the engine's selected ruler table in
// four columns ("*", "间距", "标", "名称"), the 600 data rows and a grey row
// after them that cannot be edited. The current row is drawn yellow.
class CRulerGridCtrl : public CALXGridCtrl
{
    Q_OBJECT

public:
    static constexpr QRgb CurrentRowColor = 0xFFE9E900; // RGB 233,233,0
    static constexpr QRgb SpareRowColor = 0xFFC8C8C8;   // RGB 200,200,200
    static constexpr int ImageSize = 15;

    explicit CRulerGridCtrl(CImgJoinEngine& engine, QWidget* parent = nullptr);

    RulerTableModel& Table() const { return *m_table; }
    int DataRows() const;

    QColor RowBackground(int row) const override;
    QString RefuseCellText(int column, int row, const QString& text) const override;
    bool RowEditable(int row) const override;

    // Why a spacing text is refused (not a whole number, negative, or beyond
    // the table's field); empty when it is taken. `value` gets the number.
    static QString RefuseSpacing(const QString& text, int* value = nullptr);

private:
    static QList<QPixmap> images();

    RulerTableModel* m_table;
};
