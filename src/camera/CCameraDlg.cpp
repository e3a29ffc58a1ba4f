#include "CCameraDlg.h"

#include "CImgJoinEngine.h"
#include "CProjectDirDlg.h"
#include "CVideoPreview.h"

#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPushButton>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char* const FrameFileName = "qznVideoCap123tmp.bmp";
const char* const ShutterSound = "qrc:/sounds/shutter.wav";

} // namespace

CCameraDlg::CCameraDlg(CImgJoinEngine& engine, QWidget* parent, QList<CameraCatalog::Entry> devices)
    : QDialog(parent)
    , m_engine(engine)
    , m_video(std::move(devices))
{
    auto monotonic = std::make_shared<QElapsedTimer>();
    monotonic->start();
    m_clock = [monotonic] { return monotonic->elapsed(); };

    m_photoDir = m_engine.GetSettingString(CImgJoinEngine::SettingPhotoDir);
    if (m_photoDir.isEmpty())
        m_photoDir = m_engine.dataDir();
    buildControls();
    updateTitle();

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CCameraDlg::tick);
    m_timer->start(TickMs);

    if (m_video.EnumDevices(m_deviceCombo) < 0) {
        m_countdownLabel->setText(tr("没有找到摄像头"));
        m_openButton->setEnabled(false);
    } else {
        m_deviceCombo->setCurrentIndex(0);
    }
}

CCameraDlg::~CCameraDlg() = default;

QString CCameraDlg::defaultPhotoName()
{
    return tr("拍照图片A1_0");
}

void CCameraDlg::buildControls()
{
    m_preview = new CVideoPreview(this);
    m_openButton = new QPushButton(tr("开启摄像头"), this);
    m_shootButton = new QPushButton(tr("拍照"), this);
    m_shootButton->setEnabled(false);
    m_timerCombo = new QComboBox(this);
    for (int seconds : { 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 20, 25, 30 })
        m_timerCombo->addItem(QString::number(seconds));
    m_deviceCombo = new QComboBox(this);
    m_folderButton = new QPushButton(tr("照片目录"), this);
    m_nameEdit = new QLineEdit(defaultPhotoName(), this);
    m_formatCombo = new QComboBox(this);
    m_formatCombo->setEditable(true);
    m_formatCombo->addItems({ QStringLiteral("BMP"), QStringLiteral("JPG"), QStringLiteral("PNG"),
                              QStringLiteral("GIF") });
    m_formatCombo->setCurrentText(QStringLiteral("JPG"));
    m_countdownLabel = new QLabel(this);
    auto* closeButton = new QPushButton(tr("关闭"), this);
    closeButton->setAutoDefault(false);

    auto* controls = new QGridLayout;
    controls->addWidget(m_openButton, 0, 0, 1, 2);
    controls->addWidget(new QLabel(tr("设备:"), this), 1, 0);
    controls->addWidget(m_deviceCombo, 1, 1);
    controls->addWidget(new QLabel(tr("自拍定时:"), this), 2, 0);
    controls->addWidget(m_timerCombo, 2, 1);
    controls->addWidget(m_shootButton, 3, 0, 1, 2);
    controls->addWidget(m_countdownLabel, 4, 0, 1, 2);
    controls->addWidget(m_folderButton, 5, 0, 1, 2);
    controls->addWidget(new QLabel(tr("照片名:"), this), 6, 0);
    controls->addWidget(m_nameEdit, 6, 1);
    controls->addWidget(m_formatCombo, 7, 1);
    controls->setRowStretch(8, 1);
    controls->addWidget(closeButton, 9, 0, 1, 2);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_preview, 1);
    layout->addLayout(controls);

    connect(m_openButton, &QPushButton::clicked, this, &CCameraDlg::openCamera);
    connect(m_shootButton, &QPushButton::clicked, this, &CCameraDlg::takePhoto);
    connect(m_folderButton, &QPushButton::clicked, this, &CCameraDlg::chooseFolder);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CCameraDlg::updateTitle()
{
    setWindowTitle(tr("摄像头拍照 < %1 >").arg(QDir::toNativeSeparators(m_photoDir)));
}

QString CCameraDlg::framePath() const
{
    return QDir(m_engine.tempDir()).filePath(QLatin1String(FrameFileName));
}

QString CCameraDlg::photoPath() const
{
    return QDir(m_photoDir)
        .filePath(QStringLiteral("%1.%2").arg(m_nameEdit->text().trimmed(),
                                              m_formatCombo->currentText().trimmed()));
}

void CCameraDlg::openCamera()
{
    const int result = m_video.OpenDevice(m_deviceCombo->currentIndex(), m_preview);
    if (result != CVideoCapture::Opened) {
        // The open button stays, so another camera or another try remains.
        m_prompts.tell(this, windowTitle(), tr("摄像头无法开启: %1").arg(m_video.openError()));
        return;
    }
    m_openButton->setEnabled(false);
    m_shootButton->setEnabled(true);
    connect(m_video.source(), &FrameSource::failed, this, &CCameraDlg::cameraFailed);
}

void CCameraDlg::cameraFailed(const QString& reason)
{
    // No frame comes any more: a photo waiting for one is given up, and the
    // camera may be opened again.
    m_video.SetGrabRequest(0);
    m_shotState = NoShot;
    m_countdown = 0;
    m_shootButton->setEnabled(false);
    m_openButton->setEnabled(true);
    m_countdownLabel->setText(tr("摄像头出错: %1").arg(reason));
}

void CCameraDlg::takePhoto()
{
    const int seconds = m_timerCombo->currentText().trimmed().toInt();
    if (seconds > 1) {
        m_countStart = m_clock();
        m_countdown = seconds;
        m_shootButton->setEnabled(false);
        m_countdownLabel->setText(QStringLiteral("0/%1").arg(seconds));
        return;
    }
    requestFrame(ShotAtOnce);
}

void CCameraDlg::requestFrame(ShotState state)
{
    if (!m_engine.ensureTempDir()) {
        if (state == ShotAfterCountdown)
            m_shootButton->setEnabled(true);
        return;
    }
    m_video.SetGrabFile(framePath());
    m_video.SetGrabRequest(1);
    m_shotState = state;
}

void CCameraDlg::tick()
{
    if (m_countdown > 1) {
        const qint64 elapsed = (m_clock() - m_countStart) / 1000;
        m_countdownLabel->setText(QStringLiteral("%1/%2").arg(elapsed).arg(m_countdown));
        if (elapsed >= m_countdown) {
            m_countdown = 0;
            requestFrame(ShotAfterCountdown);
        }
    } else if (m_shotState != NoShot && !m_video.IsGrabPending()) {
        finishPhoto();
    }
}

void CCameraDlg::finishPhoto()
{
    if (m_shotState == ShotAfterCountdown)
        m_shootButton->setEnabled(true);
    m_shotState = NoShot;
    const QString grabError = m_video.lastGrabError();
    if (!grabError.isEmpty()) {
        m_prompts.tell(this, windowTitle(), tr("照片没有拍成: %1").arg(grabError));
        return;
    }
    playShutter();
    const QString photo = photoPath();
    const IoStatus saved =
        CImgJoinEngine::SaveCapturedFrame(m_formatCombo->currentText(), framePath(), photo);
    if (!saved.ok()) {
        m_prompts.tell(
            this, windowTitle(),
            tr("照片无法保存为 %1: %2").arg(QDir::toNativeSeparators(photo), saved.error));
        return;
    }
    m_engine.AddCameraPhoto(photo);
}

void CCameraDlg::chooseFolder()
{
    CProjectDirDlg dialog(m_engine.dataDir(), this, m_photoDir);
    dialog.setPrompts(m_prompts);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_photoDir = dialog.path();
    m_engine.SetSettingString(CImgJoinEngine::SettingPhotoDir, m_photoDir);
    updateTitle();
}

void CCameraDlg::playShutter()
{
    // Without a sound output device the photo is taken silently.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return;
    if (m_shutter == nullptr) {
        m_shutter = new QSoundEffect(this);
        m_shutter->setSource(QUrl(QLatin1String(ShutterSound)));
    }
    m_shutter->play();
}
