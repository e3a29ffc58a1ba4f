#pragma once

#include "JoinCodes.h"

#include <QDialog>
#include <QRect>

class CImgJoinEngine;
class CRulerGridCtrl;
class QComboBox;
class QPushButton;

// The modeless "编辑格线表" dialog: edits the engine's selected ruler table
// in a grid. Edits reach the engine at once; "更新显示" recolours the lines
// and asks for the table's ruler bar to be laid out again, "关闭" does the
// same for both bars, gives the table back and closes. The dialog deletes
// itself when it closes.
class CGridTableDlg : public QDialog
{
    Q_OBJECT

public:
    // Opens the dialog on a table, at the top left of the view (screen
    // coordinates). Refused (nullptr) while a table is already being edited.
    static CGridTableDlg* Open(CImgJoinEngine& engine, RulerTableId table, const QRect& viewRect,
                               QWidget* parent = nullptr);

    CGridTableDlg(CImgJoinEngine& engine, const QRect& viewRect, QWidget* parent = nullptr);
    ~CGridTableDlg() override;

    CRulerGridCtrl& Grid() const { return *m_grid; }
    QComboBox& BaseCombo() const { return *m_comboBase; }
    // A ruler bar laid its table out: the grid shows the lines it placed.
    void RulersLaidOut();

public slots:
    void done(int result) override;

signals:
    // For the main frame's ruler refresh chain.
    void rulerRefresh(int code, int param);

private:
    void resetBase();
    void insertOrDelete(bool insert);
    void cellClicked(int column, int row);
    void updateRowButtons();
    void apply();

    CImgJoinEngine& m_engine;
    CRulerGridCtrl* m_grid;
    QComboBox* m_comboBase;
    QPushButton* m_insertButton;
    QPushButton* m_deleteButton;
    QRect m_rcView;
    bool m_rowButtonsOn = false; // after the first click in the grid
    bool m_finished = false;
};
