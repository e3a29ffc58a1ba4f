#include "FolderTreeModel.h"

#include <QDir>
#include <QFileSystemModel>

FolderTreeModel::FolderTreeModel(const QStringList& roots, QObject* parent)
    : QAbstractItemModel(parent)
{
    for (const QString& root : roots) {
        const QString path = QDir(root).absolutePath();
        auto* model = new QFileSystemModel(this);
        model->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
        model->setReadOnly(true);
        model->setRootPath(path);
        model->sort(0, Qt::AscendingOrder);
        const QModelIndex top = model->index(path);
        if (!top.isValid())
            continue;
        m_roots.push_back(Root{ model, path, QPersistentModelIndex(top) });
        connectSource(model);
    }
}

void FolderTreeModel::connectSource(QFileSystemModel* model)
{
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            &FolderTreeModel::sourceRowsAboutToBeInserted);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FolderTreeModel::sourceRowsInserted);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &FolderTreeModel::sourceRowsAboutToBeRemoved);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FolderTreeModel::sourceRowsRemoved);
    connect(model, &QAbstractItemModel::dataChanged, this, &FolderTreeModel::sourceDataChanged);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            &FolderTreeModel::sourceLayoutAboutToBeChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FolderTreeModel::sourceLayoutChanged);
    connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this,
            &FolderTreeModel::sourceLayoutAboutToBeChanged);
    connect(model, &QAbstractItemModel::rowsMoved, this, &FolderTreeModel::sourceLayoutChanged);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this,
            &FolderTreeModel::sourceAboutToBeReset);
    connect(model, &QAbstractItemModel::modelReset, this, &FolderTreeModel::sourceReset);
    connect(model, &QFileSystemModel::directoryLoaded, this, &FolderTreeModel::directoryLoaded);
}

// ---- mapping between our nodes and the file system models' nodes

QModelIndex FolderTreeModel::wrap(int row, const QModelIndex& source) const
{
    const QModelIndex first = source.siblingAtColumn(0);
    m_nodes.insert(first.internalPointer(), QPersistentModelIndex(first));
    return createIndex(row, 0, first.internalPointer());
}

QModelIndex FolderTreeModel::toSource(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const auto found = m_nodes.constFind(index.internalPointer());
    return found == m_nodes.constEnd() ? QModelIndex() : QModelIndex(*found);
}

int FolderTreeModel::rootRow(const QModelIndex& source) const
{
    for (size_t i = 0; i < m_roots.size(); ++i) {
        if (m_roots[i].model == source.model() && m_roots[i].top == source.siblingAtColumn(0))
            return int(i);
    }
    return -1;
}

bool FolderTreeModel::inside(const QModelIndex& source) const
{
    for (QModelIndex at = source; at.isValid(); at = at.parent()) {
        if (rootRow(at) >= 0)
            return true;
    }
    return false;
}

QModelIndex FolderTreeModel::fromSource(const QModelIndex& source) const
{
    if (!inside(source))
        return {};
    const int top = rootRow(source);
    return wrap(top >= 0 ? top : source.row(), source);
}

// ---- the model

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(m_roots.size()) ? wrap(row, m_roots[size_t(row)].top) : QModelIndex();
    const QModelIndex source = toSource(parent);
    if (!source.isValid())
        return {};
    const QModelIndex child = source.model()->index(row, 0, source);
    return child.isValid() ? wrap(row, child) : QModelIndex();
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    const QModelIndex source = toSource(child);
    if (!source.isValid() || rootRow(source) >= 0)
        return {};
    return fromSource(source.parent());
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_roots.size());
    const QModelIndex source = toSource(parent);
    return source.isValid() ? source.model()->rowCount(source) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return !m_roots.empty();
    const QModelIndex source = toSource(parent);
    return source.isValid() && source.model()->hasChildren(source);
}

bool FolderTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const QModelIndex source = toSource(parent);
    return source.isValid() && source.model()->canFetchMore(source);
}

void FolderTreeModel::fetchMore(const QModelIndex& parent)
{
    const QModelIndex source = toSource(parent);
    if (source.isValid())
        const_cast<QAbstractItemModel*>(source.model())->fetchMore(source);
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    const QModelIndex source = toSource(index);
    if (!source.isValid())
        return {};
    const bool top = rootRow(source) >= 0;
    if ((top && role == Qt::DisplayRole) || role == Qt::ToolTipRole)
        return QDir::toNativeSeparators(filePath(index));
    return source.data(role);
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    return toSource(index).isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString FolderTreeModel::filePath(const QModelIndex& index) const
{
    const QModelIndex source = toSource(index);
    if (!source.isValid())
        return {};
    return static_cast<const QFileSystemModel*>(source.model())->filePath(source);
}

QModelIndex FolderTreeModel::indexForPath(const QString& path) const
{
    const QString wanted = QDir(path).absolutePath();
    for (const Root& root : m_roots) {
        const QString base = root.path.endsWith(QLatin1Char('/')) ? root.path : root.path + '/';
        if (wanted == root.path || wanted.startsWith(base)) {
            const QModelIndex found = fromSource(root.model->index(wanted));
            if (found.isValid())
                return found;
        }
    }
    return {};
}

// ---- changes in the file system models

void FolderTreeModel::sourceRowsAboutToBeInserted(const QModelIndex& parent, int first, int last)
{
    const bool ours = parent.isValid() && inside(parent);
    if (ours)
        beginInsertRows(fromSource(parent), first, last);
    m_pendingInserts.append(ours);
}

void FolderTreeModel::sourceRowsInserted()
{
    if (!m_pendingInserts.isEmpty() && m_pendingInserts.takeLast())
        endInsertRows();
}

void FolderTreeModel::sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    const bool ours = parent.isValid() && inside(parent);
    if (ours)
        beginRemoveRows(fromSource(parent), first, last);
    m_pendingRemovals.append(ours);
}

void FolderTreeModel::sourceRowsRemoved()
{
    if (!m_pendingRemovals.isEmpty() && m_pendingRemovals.takeLast())
        endRemoveRows();
}

void FolderTreeModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight)
{
    const QModelIndex from = fromSource(topLeft);
    if (!from.isValid())
        return;
    // A top-level folder stands alone, whatever its siblings in the source.
    const QModelIndex to = rootRow(topLeft) >= 0 ? from : fromSource(bottomRight);
    if (to.isValid())
        emit dataChanged(from, to);
}

void FolderTreeModel::sourceLayoutAboutToBeChanged()
{
    emit layoutAboutToBeChanged();
    m_layoutIndexes = persistentIndexList();
    m_layoutSources.clear();
    for (const QModelIndex& index : std::as_const(m_layoutIndexes))
        m_layoutSources.append(QPersistentModelIndex(toSource(index)));
}

void FolderTreeModel::sourceLayoutChanged()
{
    QModelIndexList moved;
    for (const QPersistentModelIndex& source : std::as_const(m_layoutSources))
        moved.append(fromSource(source));
    changePersistentIndexList(m_layoutIndexes, moved);
    m_layoutIndexes.clear();
    m_layoutSources.clear();
    emit layoutChanged();
}

void FolderTreeModel::sourceAboutToBeReset()
{
    beginResetModel();
}

void FolderTreeModel::sourceReset()
{
    m_nodes.clear();
    for (Root& root : m_roots)
        root.top = QPersistentModelIndex(root.model->index(root.path));
    endResetModel();
}
