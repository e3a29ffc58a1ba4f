#include "CGridTableDlg.h"

#include "CImgJoinEngine.h"
#include "CRulerGridCtrl.h"
#include "RulerRefresh.h"
#include "RulerTableModel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* result = new QPushButton(text, parent);
    result->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the grid: no button is pressed by it.
    result->setAutoDefault(false);
    result->setDefault(false);
    return result;
}

} // namespace

CGridTableDlg* CGridTableDlg::Open(CImgJoinEngine& engine, RulerTableId table,
                                   const QRect& viewRect, QWidget* parent)
{
    if (engine.GridTableTarget(-1) > 0)
        return nullptr;
    engine.GridTableTarget(codeValue(table));
    auto* dialog = new CGridTableDlg(engine, viewRect, parent);
    dialog->show();
    return dialog;
}

CGridTableDlg::CGridTableDlg(CImgJoinEngine& engine, const QRect& viewRect, QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_grid(new CRulerGridCtrl(engine, this))
    , m_comboBase(new QComboBox(this))
    , m_insertButton(button(tr("插入行"), "insertRowButton", this))
    , m_deleteButton(button(tr("删除行"), "deleteRowButton", this))
    , m_rcView(viewRect)
{
    setModal(false);
    m_grid->setObjectName(QStringLiteral("rulerGrid"));
    m_comboBase->setObjectName(QStringLiteral("baseCombo"));
    m_comboBase->setEditable(true);
    m_comboBase->setInsertPolicy(QComboBox::NoInsert);
    for (int base = 50; base <= 1000; base += 50)
        m_comboBase->addItem(QString::number(base));
    m_comboBase->setCurrentText(QStringLiteral("100"));
    auto* resetButton = button(tr("重新设置基数"), "resetBaseButton", this);
    auto* applyButton = button(tr("更新显示"), "applyButton", this);
    auto* closeButton = button(tr("关闭"), "closeButton", this);
    m_insertButton->setEnabled(false);
    m_deleteButton->setEnabled(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("间距基数:"), this));
    top->addWidget(m_comboBase, 1);
    top->addWidget(resetButton);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_insertButton);
    bottom->addWidget(m_deleteButton);
    bottom->addStretch(1);
    bottom->addWidget(applyButton);
    bottom->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);

    const int table = m_engine.GridTableTarget(-1);
    if (table == codeValue(RulerTableId::Horizontal))
        setWindowTitle(tr("水平标尺线表"));
    else if (table == codeValue(RulerTableId::Vertical))
        setWindowTitle(tr("竖向标尺线表"));
    else
        setWindowTitle(tr("编辑格线表"));
    resize(300, 492);
    move(m_rcView.left() + 5, m_rcView.top() + 5);

    connect(resetButton, &QPushButton::clicked, this, &CGridTableDlg::resetBase);
    connect(m_insertButton, &QPushButton::clicked, this, [this] { insertOrDelete(true); });
    connect(m_deleteButton, &QPushButton::clicked, this, [this] { insertOrDelete(false); });
    connect(applyButton, &QPushButton::clicked, this, &CGridTableDlg::apply);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &CALXGridCtrl::gridCellClick, this, &CGridTableDlg::cellClicked);
    connect(m_grid, &CALXGridCtrl::currentCellChanged, this, &CGridTableDlg::updateRowButtons);
    connect(m_comboBase, &QComboBox::currentTextChanged, this,
            [this] { m_comboBase->setToolTip(QString()); });
}

CGridTableDlg::~CGridTableDlg() = default;

void CGridTableDlg::resetBase()
{
    // The same numbers as a spacing cell takes: a mistyped base must not
    // overwrite every spacing of the table.
    int base = 0;
    const QString reason = CRulerGridCtrl::RefuseSpacing(m_comboBase->currentText(), &base);
    if (!reason.isEmpty()) {
        m_comboBase->setToolTip(reason);
        QToolTip::showText(m_comboBase->mapToGlobal(QPoint(0, m_comboBase->height())), reason,
                           m_comboBase);
        return;
    }
    m_grid->Table().SetSpacingAll(base);
}

void CGridTableDlg::insertOrDelete(bool insert)
{
    const int row = m_grid->CurrentRow();
    if (insert)
        m_grid->Table().InsertLine(row);
    else
        m_grid->Table().DeleteLine(row);
    m_grid->viewport()->update();
}

void CGridTableDlg::cellClicked(int column, int row)
{
    // A click on the "标" cell toggles the line's mark; the colour follows
    // when the table is applied.
    if (column == RulerTableModel::MarkColumn)
        m_grid->Table().ToggleMark(row);
    m_rowButtonsOn = true;
    updateRowButtons();
}

void CGridTableDlg::updateRowButtons()
{
    // Lines are inserted and deleted at data rows only, never at the grey row.
    const bool on = m_rowButtonsOn && m_grid->RowEditable(m_grid->CurrentRow());
    m_insertButton->setEnabled(on);
    m_deleteButton->setEnabled(on);
}

void CGridTableDlg::apply()
{
    m_engine.RecolourRulerLines();
    emit rulerRefresh(RulerRefresh::RRN_TABLE_APPLY, 0);
}

void CGridTableDlg::RulersLaidOut()
{
    m_grid->Table().Refresh();
}

void CGridTableDlg::done(int result)
{
    if (!m_finished) {
        m_finished = true;
        // A cell still being edited is stored first (if it is taken).
        m_grid->EndEdit();
        m_engine.RecolourRulerLines();
        m_engine.GridTableTarget(0);
        emit rulerRefresh(RulerRefresh::RRN_TABLE_CLOSED, 0);
    }
    QDialog::done(result);
    deleteLater();
}
