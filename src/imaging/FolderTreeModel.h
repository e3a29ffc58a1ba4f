#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QPersistentModelIndex>
#include <QStringList>

#include <vector>

class QFileSystemModel;

// A folders-only tree with several top-level folders (the file system's root
// and the home folder, for instance), each shown with everything below it.
// Every top-level folder has a file system model of its own that lists a
// folder only when it is first expanded and keeps the children sorted by
// name; this model puts those subtrees side by side in one column.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit FolderTreeModel(const QStringList& roots, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The folder's path, empty for an invalid index.
    QString filePath(const QModelIndex& index) const;
    // The node of a folder inside one of the top-level folders, invalid when
    // it lies in none of them.
    QModelIndex indexForPath(const QString& path) const;

signals:
    // A folder's children have been listed.
    void directoryLoaded(const QString& path);

private:
    struct Root
    {
        QFileSystemModel* model = nullptr; // owned as a child of this object
        QString path;
        QPersistentModelIndex top;
    };

    void connectSource(QFileSystemModel* model);
    QModelIndex toSource(const QModelIndex& index) const;
    QModelIndex fromSource(const QModelIndex& source) const;
    QModelIndex wrap(int row, const QModelIndex& source) const;
    int rootRow(const QModelIndex& source) const;
    bool inside(const QModelIndex& source) const;

    void sourceRowsAboutToBeInserted(const QModelIndex& parent, int first, int last);
    void sourceRowsInserted();
    void sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void sourceRowsRemoved();
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void sourceLayoutAboutToBeChanged();
    void sourceLayoutChanged();
    void sourceAboutToBeReset();
    void sourceReset();

    std::vector<Root> m_roots;
    // Source nodes by their internal pointer, which is what our indexes carry.
    mutable QHash<const void*, QPersistentModelIndex> m_nodes;
    QList<bool> m_pendingInserts;
    QList<bool> m_pendingRemovals;
    QModelIndexList m_layoutIndexes;
    QList<QPersistentModelIndex> m_layoutSources;
};
