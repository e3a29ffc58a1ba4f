#include "RulerTableModel.h"

#include "CALXGridCtrl.h"
#include "CImgJoinEngine.h"
#include "RulerTable.h"

RulerTableModel::RulerTableModel(CImgJoinEngine& engine, QObject* parent)
    : QAbstractTableModel(parent)
    , m_engine(engine)
{
}

int RulerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : DataRows + 1;
}

int RulerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RulerTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= DataRows)
        return {};
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (index.column() == SpacingColumn || index.column() == NameColumn)
                return m_engine.GetRulerCellText(row, index.column());
            return {};
        case CALXGridCtrl::ImageIndexRole: {
            const bool yes = m_engine.GetRulerCellText(row, index.column()).startsWith(u'Y');
            if (index.column() == LaidOutColumn)
                return yes ? LaidOutImage : NotLaidOutImage;
            if (index.column() == MarkColumn)
                return yes ? MarkedImage : UnmarkedImage;
            return {};
        }
        default: return {};
    }
}

bool RulerTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_engine.SetRulerCell(index.row(), index.column(), value.toString());
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

Qt::ItemFlags RulerTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() < DataRows && (index.column() == SpacingColumn || index.column() == NameColumn))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant RulerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
        case LaidOutColumn: return tr("*");
        case SpacingColumn: return tr("间距");
        case MarkColumn: return tr("标");
        case NameColumn: return tr("名称");
        default: return {};
    }
}

bool RulerTableModel::ToggleMark(int row)
{
    if (row < 0 || row >= DataRows)
        return false;
    m_engine.SetRulerCell(row, MarkColumn, QString());
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

bool RulerTableModel::InsertLine(int row)
{
    if (row < 0 || row >= DataRows)
        return false;
    m_engine.InsertDeleteRulerRow(RulerTable::InsertRow, row);
    Refresh();
    return true;
}

bool RulerTableModel::DeleteLine(int row)
{
    if (row < 0 || row >= DataRows)
        return false;
    m_engine.InsertDeleteRulerRow(RulerTable::DeleteRow, row);
    Refresh();
    return true;
}

void RulerTableModel::SetSpacingAll(int spacing)
{
    m_engine.SetRulerSpacingAll(spacing);
    Refresh();
}

void RulerTableModel::Refresh()
{
    emit dataChanged(index(0, 0), index(DataRows, ColumnCount - 1));
}
