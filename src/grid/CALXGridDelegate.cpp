#include "CALXGridDelegate.h"

#include "CALXCellEdit.h"
#include "CALXGridCtrl.h"

#include <QKeyEvent>
#include <QPainter>

CALXGridDelegate::CALXGridDelegate(CALXGridCtrl* grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid)
{
}

void CALXGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    painter->save();
    const QRect cell = option.rect;
    painter->fillRect(cell, m_grid->RowBackground(index.row()));

    int textLeft = cell.left() + 2;
    const QVariant image = index.data(CALXGridCtrl::ImageIndexRole);
    if (image.isValid()) {
        const QPixmap pixmap = m_grid->Image(image.toInt());
        if (!pixmap.isNull()) {
            painter->setClipRect(cell);
            const QPoint at(cell.left() + 1, cell.top() + (cell.height() - pixmap.height()) / 2);
            painter->drawPixmap(at, pixmap);
            painter->setClipping(false);
            textLeft = at.x() + pixmap.width() + 2;
        }
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const std::optional<QColor> colour = m_grid->PaletteColor(index.column());
        painter->setPen(colour ? *colour : option.palette.color(QPalette::Text));
        painter->setFont(option.font);
        const QRect textBox(textLeft, cell.top(), cell.right() - textLeft - 1, cell.height());
        const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, textBox.width());
        painter->drawText(textBox, int(m_grid->CellFormat(index.column())) | Qt::TextSingleLine,
                          shown);
    }

    if (index == m_grid->currentIndex()) {
        painter->setPen(QColor::fromRgb(CurrentFrame));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QWidget* CALXGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const
{
    if (m_grid->ColumnEditor(index.column()) != CALXGridCtrl::EditorType::EditBox ||
        !m_grid->RowEditable(index.row()))
        return nullptr;
    auto* editor = new CALXCellEdit(parent);
    editor->setAlignment(m_grid->CellFormat(index.column()));
    if (const std::optional<QColor> colour = m_grid->PaletteColor(index.column())) {
        QPalette palette = editor->palette();
        palette.setColor(QPalette::Text, *colour);
        editor->setPalette(palette);
    }
    return editor;
}

void CALXGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<CALXCellEdit*>(editor)) {
        // Only the first filling: the model's later changes do not overwrite
        // what is being typed.
        if (!edit->isModified())
            edit->SetText(index.data(Qt::EditRole).toString());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CALXGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const
{
    auto* edit = qobject_cast<CALXCellEdit*>(editor);
    if (edit == nullptr) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // An unchanged text is not written back; a refused one leaves the cell
    // as it was.
    if (!edit->isModified())
        return;
    const QString reason = m_grid->RefuseCellText(index.column(), index.row(), edit->text());
    if (!reason.isEmpty()) {
        edit->ShowRefusal(reason);
        return;
    }
    if (model->setData(index, edit->text(), Qt::EditRole)) {
        edit->setModified(false);
        m_grid->editEnded(index);
    }
}

void CALXGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const
{
    // Inside the current cell's frame.
    editor->setGeometry(option.rect.adjusted(1, 1, -1, -1));
}

bool CALXGridDelegate::accepted(CALXCellEdit* editor) const
{
    if (!editor->isModified())
        return true;
    const QModelIndex index = m_grid->currentIndex();
    const QString reason = m_grid->RefuseCellText(index.column(), index.row(), editor->text());
    if (reason.isEmpty())
        return true;
    editor->ShowRefusal(reason);
    return false;
}

void CALXGridDelegate::leaveCell(CALXCellEdit* editor, int action)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
    m_grid->MoveCurrent(CALXGridCtrl::CursorAction(action));
}

bool CALXGridDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<CALXCellEdit*>(object);
    if (editor == nullptr || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(object, event);

    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    int action = -1;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: action = CALXGridCtrl::MoveDown; break;
        case Qt::Key_Tab:
            action = key->modifiers().testFlag(Qt::ShiftModifier) ? CALXGridCtrl::MovePrevious
                                                                  : CALXGridCtrl::MoveNext;
            break;
        case Qt::Key_Backtab: action = CALXGridCtrl::MovePrevious; break;
        case Qt::Key_Up: action = CALXGridCtrl::MoveUp; break;
        case Qt::Key_Down: action = CALXGridCtrl::MoveDown; break;
        case Qt::Key_PageUp: action = CALXGridCtrl::MovePageUp; break;
        case Qt::Key_PageDown: action = CALXGridCtrl::MovePageDown; break;
        case Qt::Key_Left:
            if (plain && editor->CaretAtStart())
                action = CALXGridCtrl::MoveLeft;
            break;
        case Qt::Key_Right:
            if (plain && editor->CaretAtEnd())
                action = CALXGridCtrl::MoveRight;
            break;
        case Qt::Key_Escape:
            // Back to the cell's stored text; the editor stays open.
            editor->SetText(m_grid->currentIndex().data(Qt::EditRole).toString());
            editor->setToolTip(QString());
            return true;
        default: break;
    }
    if (action < 0)
        return QStyledItemDelegate::eventFilter(object, event);
    if (accepted(editor))
        leaveCell(editor, action);
    return true;
}
