#pragma once

#include <QAbstractTableModel>

class CImgJoinEngine;

// The ruler table that the grid-line dialog edits (the engine's selected
// table), as a table model: the first DataRows rows of the table and one
// empty row after them. Columns: laid out on the ruler bar (an image),
// spacing, mark (an image) and name. Every change goes to the engine at once.
class RulerTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int DataRows = 600;
    enum Column
    {
        LaidOutColumn,
        SpacingColumn,
        MarkColumn,
        NameColumn,
        ColumnCount
    };
    // Images of the grid's image list.
    enum Image
    {
        NotLaidOutImage = 0,
        LaidOutImage = 7,
        UnmarkedImage = 10,
        MarkedImage = 11
    };

    explicit RulerTableModel(CImgJoinEngine& engine, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Table operations of the dialog; each acts on data rows only.
    bool ToggleMark(int row);
    bool InsertLine(int row);
    bool DeleteLine(int row);
    void SetSpacingAll(int spacing);
    // The table changed outside the model (a new layout, say).
    void Refresh();

private:
    CImgJoinEngine& m_engine;
};
