#pragma once

#include "UserPrompts.h"

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;

// Picks a folder: from the tree of all folders under the file system's root,
// the program directory with one button, or a new sub-folder of the chosen
// folder with another. The tree opens at the home folder (or the folder
// given), expanded down to it and scrolled to it; that first selection, which
// the dialog makes itself, does not count. Confirming without choosing
// anything gives the home folder.
class CProjectDirDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CProjectDirDlg(const QString& programDir, QWidget* parent = nullptr,
                            const QString& openFolder = defaultPath());

    // What the dialog returns when nothing is chosen: the home folder.
    static QString defaultPath();

    // The chosen folder; read it after the dialog ends with OK.
    QString path() const { return m_path; }

    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }

    QTreeView* tree() const { return m_tree; }
    QFileSystemModel* folderModel() const { return m_model; }
    QLineEdit* newNameEdit() const { return m_newNameEdit; }
    QPushButton* defaultButton() const { return m_defaultButton; }
    QPushButton* createButton() const { return m_createButton; }
    QPushButton* okButton() const { return m_okButton; }

private:
    void buildControls();
    void openAt(const QString& folder);
    void selectionMoved(const QModelIndex& current);
    void takeProgramDir();
    void createFolder();

    QString m_programDir;
    QString m_path;
    int m_selectionChanges = 0;
    bool m_followingOpenFolder = false;
    UserPrompts m_prompts;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLineEdit* m_newNameEdit = nullptr;
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_createButton = nullptr;
    QPushButton* m_okButton = nullptr;
};
