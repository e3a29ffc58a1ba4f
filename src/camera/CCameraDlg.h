#pragma once

#include "CVideoCapture.h"
#include "CameraCatalog.h"
#include "UserPrompts.h"

#include <QDialog>
#include <QString>

#include <functional>

class CImgJoinEngine;
class CVideoPreview;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSoundEffect;
class QTimer;

// The camera photo dialog: a camera's live picture, and photos taken at once
// or after a self-timer countdown. A photo is written as "<folder>/<name>.<format>"
// in the photo folder (replacing a file of that name) and becomes a new
// canvas picture, or the output picture in print-output mode.
class CCameraDlg : public QDialog
{
    Q_OBJECT

public:
    // Milliseconds on a clock that only runs forward.
    using Clock = std::function<qint64()>;

    static constexpr int TickMs = 500;

    explicit CCameraDlg(CImgJoinEngine& engine, QWidget* parent = nullptr,
                        QList<CameraCatalog::Entry> devices = CameraCatalog::system());
    ~CCameraDlg() override;

    void setPrompts(const UserPrompts& prompts) { m_prompts = prompts; }
    void setClock(Clock clock) { m_clock = std::move(clock); }

    static QString defaultPhotoName();
    QString photoDir() const { return m_photoDir; }
    // The file each grabbed frame goes to, in the temporary folder.
    QString framePath() const;
    // Where a photo taken now would be written.
    QString photoPath() const;

    // One step of the self-timer and of finishing a photo; the dialog's
    // timer calls it every TickMs.
    void tick();

    CVideoCapture& capture() { return m_video; }
    CVideoPreview* preview() const { return m_preview; }
    QPushButton* openButton() const { return m_openButton; }
    QPushButton* shootButton() const { return m_shootButton; }
    QPushButton* folderButton() const { return m_folderButton; }
    QComboBox* timerCombo() const { return m_timerCombo; }
    QComboBox* deviceCombo() const { return m_deviceCombo; }
    QComboBox* formatCombo() const { return m_formatCombo; }
    QLineEdit* nameEdit() const { return m_nameEdit; }
    QLabel* countdownLabel() const { return m_countdownLabel; }

private:
    enum ShotState
    {
        NoShot = 0,
        ShotAtOnce = 9,
        ShotAfterCountdown = 11
    };

    void buildControls();
    void updateTitle();
    void openCamera();
    void cameraFailed(const QString& reason);
    void takePhoto();
    void requestFrame(ShotState state);
    void finishPhoto();
    void chooseFolder();
    void playShutter();

    CImgJoinEngine& m_engine;
    CVideoCapture m_video;
    UserPrompts m_prompts;
    Clock m_clock;
    QString m_photoDir;
    int m_countdown = 0; // seconds of the running countdown; 0 when none
    qint64 m_countStart = 0;
    ShotState m_shotState = NoShot;

    CVideoPreview* m_preview = nullptr; // children
    QPushButton* m_openButton = nullptr;
    QPushButton* m_shootButton = nullptr;
    QPushButton* m_folderButton = nullptr;
    QComboBox* m_timerCombo = nullptr;
    QComboBox* m_deviceCombo = nullptr;
    QComboBox* m_formatCombo = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLabel* m_countdownLabel = nullptr;
    QTimer* m_timer = nullptr;
    QSoundEffect* m_shutter = nullptr;
};
