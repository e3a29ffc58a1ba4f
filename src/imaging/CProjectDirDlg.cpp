#include "CProjectDirDlg.h"

#include "FolderTreeModel.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

CProjectDirDlg::CProjectDirDlg(const QString& programDir, QWidget* parent, const QStringList& roots)
    : QDialog(parent)
    , m_programDir(programDir)
    , m_path(defaultPath())
{
    m_model = new FolderTreeModel(roots, this);
    buildControls();
    setWindowTitle(QDir::toNativeSeparators(m_path));

    // Open the first folder and select it; that selection is the dialog's own.
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionMoved(current); });
    const QModelIndex first = m_model->index(0, 0);
    if (first.isValid()) {
        m_tree->expand(first);
        m_tree->setCurrentIndex(first);
    }
}

QStringList CProjectDirDlg::defaultRoots()
{
    return { QDir::rootPath(), QDir::homePath() };
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
