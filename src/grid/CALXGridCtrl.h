#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QTableView>

#include <array>
#include <optional>

class CALXGridDelegate;
class CALXGridRowHeader;

// A general-purpose grid over a table model: a header row, a row header with
// the row numbers and a marker at the current row, and one editor for each
// editable column that opens over the current cell. Subclasses give the row
// colours and may refuse an edited text (the cell then keeps its value).
//
// Keys: Enter moves down (not past the last row), Tab and Shift+Tab move
// along the row, Left and Right leave an edited cell at the caret's edges,
// Escape restores the cell's text in its editor.
class CALXGridCtrl : public QTableView
{
    Q_OBJECT

public:
    // Which editor a column uses.
    enum class EditorType
    {
        Static, // no editing; the cell only becomes current
        EditBox // a single-line edit box
    };
    // The role under which the model gives the index of a cell's image in
    // the grid's image list.
    static constexpr int ImageIndexRole = Qt::UserRole + 70;
    static constexpr int PaletteSize = 38;

    explicit CALXGridCtrl(QWidget* parent = nullptr);
    ~CALXGridCtrl() override;

    // Set-up: columns in model order, each with its width, the alignment of
    // its cell text and its editor.
    int AddColumn(int width, Qt::Alignment cellFormat, EditorType editor = EditorType::Static);
    EditorType ColumnEditor(int column) const;
    Qt::Alignment CellFormat(int column) const;
    // The text colour of the data column with the same index; indices
    // outside the palette are ignored.
    void SetPaletteColor(int index, const QColor& colour);
    std::optional<QColor> PaletteColor(int column) const;
    // A non-zero switch makes the row header `width` pixels wide; a switch
    // above 98 draws the current-row marker at the header's right edge.
    void SetGridParams(int headerSwitch, int width);
    void SetImageList(const QList<QPixmap>& images) { m_images = images; }
    QPixmap Image(int index) const;

    // The background of a data row; the current row may differ.
    virtual QColor RowBackground(int row) const;
    // Why the text typed into a cell is refused; empty when it is taken.
    virtual QString RefuseCellText(int column, int row, const QString& text) const;
    // Whether a cell of the row may be edited at all.
    virtual bool RowEditable(int row) const;

    int CurrentRow() const;
    int CurrentColumn() const;
    // Makes a cell current; refused (false) outside the data cells.
    bool SetCurrentCell(int column, int row);
    // Moves the current cell as a navigation key would.
    void MoveCurrent(CursorAction action);
    // Stores the text of an open editor (when taken) and closes the editor.
    void EndEdit();

    void setModel(QAbstractItemModel* model) override;

signals:
    // After every left-button press in the grid.
    void gridCellClick(int column, int row);
    void currentCellChanged(int column, int row);
    // An edited text was stored in the model.
    void cellEditEnded(int column, int row);
    void columnResized(int column);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class CALXGridDelegate;
    void editEnded(const QModelIndex& index);

    struct Column
    {
        int width = 0;
        Qt::Alignment cellFormat;
        EditorType editor = EditorType::Static;
    };

    QList<Column> m_columns;
    std::array<std::optional<QColor>, PaletteSize> m_palette;
    QList<QPixmap> m_images;
    CALXGridDelegate* m_delegate = nullptr;
    CALXGridRowHeader* m_rowHeader = nullptr;
};
