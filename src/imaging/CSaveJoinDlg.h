#pragma once

#include "ImageCodec.h"
#include "UserPrompts.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class CImgJoinEngine;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Saves the result of the user's work under a name, a format and a folder.
// The joined-picture variant renders every canvas picture into one file and
// may then clear the canvas; the output-picture variant copies the output
// picture's file byte for byte when it is already in the chosen format and
// encodes the picture anew otherwise. Either way the file holds the format
// its name ends in. Large pictures are encoded behind the progress box.
// After a save the dialog tells which file it wrote. The folder and the last
// name saved in each variant are remembered for the rest of the run; the
// folder is also kept in the settings. A save that fails keeps the dialog
// open with everything as it was and says why.
class CSaveJoinDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int VariantJoined = 0;
    static constexpr int VariantOutput = 11;

    // Answers the folder question; an empty path means the user cancelled.
    using FolderChooser = std::function<QString(QWidget* parent)>;

    explicit CSaveJoinDlg(CImgJoinEngine& engine, int variant = VariantJoined,
                          QWidget* parent = nullptr);

    // The folder and names shared by every save dialog of this run.
    static QString saveDir() { return s_saveDir; }
    static QString joinedName();
    static QString outputName();
    // Back to the values a new run starts with.
    static void resetRemembered();
    // The sentence that tells the user a file was saved, with its size.
    static QString savedMessage(const QString& path, qint64 bytes);

    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }
    void setFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    int variant() const { return m_variant; }
    // The file the current name and format give.
    QString targetPath() const;

    QLabel* folderLabel() const { return m_folderLabel; }
    QPushButton* folderButton() const { return m_folderButton; }
    QLineEdit* nameEdit() const { return m_nameEdit; }
    QComboBox* formatCombo() const { return m_formatCombo; }
    QCheckBox* autoClearBox() const { return m_autoClearBox; }
    QPushButton* saveButton() const { return m_saveButton; }

signals:
    // A file was written at path, bytes long.
    void fileSaved(const QString& path, qint64 bytes);

public slots:
    // Saves; the dialog closes only when the file has been written.
    void accept() override;
    void chooseFolder();

private:
    void buildControls();
    bool checkInput();
    bool writeFile(const QString& path);
    bool saveJoined(const QString& format, const QString& path, QStringList& errors);
    bool saveOutput(const QString& format, const QString& path, QStringList& errors);
    // Runs the write on a worker behind the progress box.
    bool writeBehindBox(const std::function<IoStatus()>& write, const QString& busyText,
                        QStringList& errors);
    QString& rememberedName() const;

    static QString s_saveDir;
    static QString s_joinedName;
    static QString s_outputName;

    CImgJoinEngine& m_engine;
    int m_variant;
    UserPrompts m_prompts;
    FolderChooser m_chooseFolder;
    QLabel* m_folderLabel = nullptr;
    QPushButton* m_folderButton = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QComboBox* m_formatCombo = nullptr;
    QCheckBox* m_autoClearBox = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
