#include "QtMusicPlayer.h"

#include "IoErrorText.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include <cerrno>

namespace {

QString reasonOf(QMediaPlayer::Error error)
{
    switch (error) {
        case QMediaPlayer::FormatError: return QtMusicPlayer::tr("不支持这种音乐文件的格式");
        case QMediaPlayer::AccessDeniedError: return QtMusicPlayer::tr("没有读取这个文件的权限");
        case QMediaPlayer::ResourceError:
            return QtMusicPlayer::tr("文件无法读取, 或不是能播放的音乐文件");
        default: return QtMusicPlayer::tr("播放时出错");
    }
}

} // namespace

QtMusicPlayer::QtMusicPlayer(QObject* parent)
    : MusicPlayer(parent)
{
}

QtMusicPlayer::~QtMusicPlayer() = default;

void QtMusicPlayer::makePlayer()
{
    m_player = new QMediaPlayer(this);
    m_output = new QAudioOutput(this);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError)
            report(reasonOf(error));
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::EndOfMedia)
                    emit endOfPlay();
                else if (status == QMediaPlayer::InvalidMedia)
                    report(reasonOf(QMediaPlayer::FormatError));
            });
}

void QtMusicPlayer::start(const QString& path)
{
    stop();
    m_path = path;
    m_reported = false;
    // A file that cannot be read is reported in words of the system's error.
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        report(IoErrorText::reason(file, errno));
        return;
    }
    file.close();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        report(tr("没有可用的声音输出设备"));
        return;
    }
    if (m_player == nullptr)
        makePlayer();
    m_output->setDevice(device);
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}

void QtMusicPlayer::restart()
{
    if (m_player == nullptr || m_reported)
        return;
    m_player->setPosition(0);
    m_player->play();
}

void QtMusicPlayer::stop()
{
    if (m_player != nullptr)
        m_player->stop();
}

void QtMusicPlayer::report(const QString& reason)
{
    if (m_reported)
        return;
    m_reported = true;
    emit failed(tr("不能播放背景音乐 %1: %2").arg(QDir::toNativeSeparators(m_path), reason));
}
