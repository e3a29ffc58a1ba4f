#include "CProjectDirDlg.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

CProjectDirDlg::CProjectDirDlg(const QString& programDir, QWidget* parent,
                               const QString& openFolder)
    : QDialog(parent)
    , m_programDir(programDir)
    , m_path(defaultPath())
{
    // Folders only, each listed when it is first expanded and kept sorted by
    // name; the model watches the listed folders for changes.
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_model->setRootPath(QDir::rootPath());
    m_model->sort(0, Qt::AscendingOrder);
    buildControls();
    setWindowTitle(QDir::toNativeSeparators(m_path));

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionMoved(current); });
    openAt(openFolder);
}

QString CProjectDirDlg::defaultPath()
{
    return QDir::homePath();
}

void CProjectDirDlg::buildControls()
{
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setUniformRowHeights(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column); // size, kind and date

    m_defaultButton = new QPushButton(tr("默认"), this);
    m_defaultButton->setAutoDefault(false);
    m_createButton = new QPushButton(tr("创建"), this);
    m_createButton->setAutoDefault(false);
    m_newNameEdit = new QLineEdit(tr("2011我的图片"), this);
    m_okButton = new QPushButton(tr("确认"), this);
    m_okButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_defaultButton);
    buttons->addWidget(m_createButton);
    buttons->addWidget(m_newNameEdit, 1);
    buttons->addWidget(m_okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    resize(520, 540);

    connect(m_defaultButton, &QPushButton::clicked, this, &CProjectDirDlg::takeProgramDir);
    connect(m_createButton, &QPushButton::clicked, this, &CProjectDirDlg::createFolder);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}

// Expands the tree down to the folder (the root when there is no such
// folder) and selects it; that selection is the dialog's own. The folders on
// the way are listed and sorted in the background, and their other
// sub-folders push the open one about: the tree follows it until the user
// chooses, opens or closes a folder, or moves the scroll bar.
void CProjectDirDlg::openAt(const QString& folder)
{
    QModelIndex open = m_model->index(QDir(folder).absolutePath());
    if (!open.isValid())
        open = m_model->index(QDir::rootPath());
    for (QModelIndex at = open; at.isValid(); at = at.parent())
        m_tree->expand(at);
    m_tree->setCurrentIndex(open);
    m_tree->scrollTo(open, QAbstractItemView::PositionAtCenter);

    m_followingOpenFolder = true;
    const auto follow = [this] {
        if (m_followingOpenFolder && m_selectionChanges <= 1)
            m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, follow);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, follow);
    const auto stop = [this] { m_followingOpenFolder = false; };
    connect(m_tree, &QTreeView::expanded, this, stop);
    connect(m_tree, &QTreeView::collapsed, this, stop);
    connect(m_tree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, stop);
}

void CProjectDirDlg::selectionMoved(const QModelIndex& current)
{
    const QString path = m_model->filePath(current);
    if (path.isEmpty())
        return;
    if (m_selectionChanges > 0) {
        m_okButton->setEnabled(true);
        m_path = path;
        setWindowTitle(QDir::toNativeSeparators(path));
    }
    ++m_selectionChanges;
}

void CProjectDirDlg::takeProgramDir()
{
    m_path = m_programDir;
    accept();
}

void CProjectDirDlg::createFolder()
{
    const QString name = m_newNameEdit->text();
    const QString path = QDir(m_path).filePath(name);
    // One level below the chosen folder: a name with a separator would
    // reach somewhere else.
    const bool plainName = !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
    if (!plainName || !QDir().mkdir(path)) {
        m_prompts.tell(this, windowTitle(),
                       tr("创建 < %1 > 目录失败!").arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_path = path;
    accept();
}
