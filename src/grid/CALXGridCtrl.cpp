#include "CALXGridCtrl.h"

#include "CALXCellEdit.h"
#include "CALXGridDelegate.h"
#include "CALXGridRowHeader.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

CALXGridCtrl::CALXGridCtrl(QWidget* parent)
    : QTableView(parent)
    , m_delegate(new CALXGridDelegate(this))
    , m_rowHeader(new CALXGridRowHeader(this))
{
    setItemDelegate(m_delegate);
    setVerticalHeader(m_rowHeader);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(true);
    setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFrameShadow(QFrame::Sunken);

    // Rows follow the grid font; the header row is a fifth higher.
    const int rowHeight = fontMetrics().height() + 3;
    m_rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    m_rowHeader->setDefaultSectionSize(rowHeight);
    m_rowHeader->setMinimumSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(int(rowHeight * 1.2));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                if (column >= 0 && column < m_columns.size())
                    m_columns[column].width = width;
                emit columnResized(column);
            });
}

CALXGridCtrl::~CALXGridCtrl() = default;

void CALXGridCtrl::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    for (int column = 0; column < m_columns.size(); ++column)
        setColumnWidth(column, m_columns.at(column).width);
    SetCurrentCell(0, 0);
}

int CALXGridCtrl::AddColumn(int width, Qt::Alignment cellFormat, EditorType editor)
{
    m_columns.append({ width, cellFormat, editor });
    const int column = int(m_columns.size()) - 1;
    if (model() != nullptr)
        setColumnWidth(column, width);
    return column;
}

CALXGridCtrl::EditorType CALXGridCtrl::ColumnEditor(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).editor
                                                    : EditorType::Static;
}

Qt::Alignment CALXGridCtrl::CellFormat(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).cellFormat
                                                    : Qt::AlignLeft | Qt::AlignVCenter;
}

void CALXGridCtrl::SetPaletteColor(int index, const QColor& colour)
{
    if (index >= 0 && index < PaletteSize)
        m_palette[std::size_t(index)] = colour;
}

std::optional<QColor> CALXGridCtrl::PaletteColor(int column) const
{
    if (column < 0 || column >= PaletteSize)
        return std::nullopt;
    return m_palette[std::size_t(column)];
}

void CALXGridCtrl::SetGridParams(int headerSwitch, int width)
{
    if (headerSwitch == 0)
        return;
    m_rowHeader->setFixedWidth(width);
    m_rowHeader->SetMarkerAtRight(headerSwitch > 98);
}

QPixmap CALXGridCtrl::Image(int index) const
{
    return index >= 0 && index < m_images.size() ? m_images.at(index) : QPixmap();
}

QColor CALXGridCtrl::RowBackground(int) const
{
    return palette().color(QPalette::Base);
}

QString CALXGridCtrl::RefuseCellText(int, int, const QString&) const
{
    return QString();
}

bool CALXGridCtrl::RowEditable(int) const
{
    return true;
}

int CALXGridCtrl::CurrentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

int CALXGridCtrl::CurrentColumn() const
{
    return currentIndex().isValid() ? currentIndex().column() : -1;
}

bool CALXGridCtrl::SetCurrentCell(int column, int row)
{
    if (model() == nullptr || row < 0 || row >= model()->rowCount() || column < 0 ||
        column >= model()->columnCount())
        return false;
    const QModelIndex cell = model()->index(row, column);
    if (cell == currentIndex() && state() != EditingState)
        edit(cell); // the cell's editor comes back
    else
        setCurrentIndex(cell);
    return currentIndex().row() == row && currentIndex().column() == column;
}

void CALXGridCtrl::MoveCurrent(CursorAction action)
{
    const QModelIndex next = moveCursor(action, Qt::NoModifier);
    if (next.isValid() && next != currentIndex())
        setCurrentIndex(next);
    else
        viewport()->update();
}

void CALXGridCtrl::EndEdit()
{
    if (state() != EditingState)
        return;
    for (CALXCellEdit* editor : viewport()->findChildren<CALXCellEdit*>()) {
        if (editor->isVisible()) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

QModelIndex CALXGridCtrl::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && model() != nullptr) {
        // Tab and Shift+Tab stay in the row; with Ctrl they go down and up.
        const int last = model()->columnCount() - 1;
        if (action == MoveNext && !(modifiers & Qt::ControlModifier))
            return model()->index(current.row(), std::min(current.column() + 1, last));
        if (action == MovePrevious && !(modifiers & Qt::ControlModifier))
            return model()->index(current.row(), std::max(current.column() - 1, 0));
        if (action == MoveNext)
            action = MoveDown;
        else if (action == MovePrevious)
            action = MoveUp;
    }
    return QTableView::moveCursor(action, modifiers & ~Qt::ControlModifier);
}

void CALXGridCtrl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            MoveCurrent(MoveDown);
            event->accept();
            return;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            MoveCurrent(event->key() == Qt::Key_Backtab ||
                                event->modifiers().testFlag(Qt::ShiftModifier)
                            ? MovePrevious
                            : MoveNext);
            event->accept();
            return;
        default: QTableView::keyPressEvent(event);
    }
}

void CALXGridCtrl::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        const QModelIndex hit = indexAt(event->position().toPoint());
        if (hit.isValid())
            emit gridCellClick(hit.column(), hit.row());
    }
}

void CALXGridCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    m_rowHeader->SetCurrentRow(current.isValid() ? current.row() : -1);
    // The current row is drawn in its own colour: repaint both rows.
    viewport()->update();
    if (current.isValid())
        emit currentCellChanged(current.column(), current.row());
}

void CALXGridCtrl::editEnded(const QModelIndex& index)
{
    emit cellEditEnded(index.column(), index.row());
}
