#pragma once

#include <QStyledItemDelegate>

class CALXCellEdit;
class CALXGridCtrl;

// Paints the cells of a CALXGridCtrl (row colour, image, text in the column's
// palette colour, a frame round the current cell) and runs its edit boxes:
// an edited text reaches the model only when it was changed and the grid
// takes it; a refused text stays in the editor with a tool tip saying why.
class CALXGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The frame colour of the current cell.
    static constexpr QRgb CurrentFrame = 0xFF0064C8;

    explicit CALXGridDelegate(CALXGridCtrl* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    // Whether the editor's text may leave the cell; shows why not.
    bool accepted(CALXCellEdit* editor) const;
    void leaveCell(CALXCellEdit* editor, int action);

    CALXGridCtrl* m_grid;
};
