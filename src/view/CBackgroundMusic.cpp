#include "CBackgroundMusic.h"

#include "CImgJoinEngine.h"
#include "MusicPlayer.h"
#include "QtMusicPlayer.h"
#include "UserPrompts.h"

#include <QDir>
#include <QFileInfo>

CBackgroundMusic::CBackgroundMusic(QObject* parent)
    : QObject(parent)
    , m_playerFactory([] { return std::make_unique<QtMusicPlayer>(); })
{
}

CBackgroundMusic::~CBackgroundMusic() = default;

void CBackgroundMusic::setPlayerFactory(PlayerFactory factory)
{
    m_player.reset();
    m_playerFactory = std::move(factory);
}

QString CBackgroundMusic::fileFilter()
{
    // The description is shown; the patterns in the last brackets are not.
    return tr("音乐文件(*.wav,*.mid,*.mp3,*.wma)") +
           QStringLiteral(" (*.wav *.mid *.mp3 *.wma *.WAV *.MID *.MP3 *.WMA)");
}

QString CBackgroundMusic::folderOf(const QString& path)
{
    QString folder = QFileInfo(path).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return QDir::toNativeSeparators(folder);
}

MusicPlayer& CBackgroundMusic::player()
{
    if (!m_player) {
        m_player = m_playerFactory();
        connect(m_player.get(), &MusicPlayer::endOfPlay, this, &CBackgroundMusic::onEndOfPlay);
        connect(m_player.get(), &MusicPlayer::failed, this, &CBackgroundMusic::statusMessage);
    }
    return *m_player;
}

void CBackgroundMusic::chooseAndPlay(QWidget* parent, const UserPrompts& prompts,
                                     CImgJoinEngine& engine, const QString& programDir)
{
    const QString folder = engine.GetSettingString(CImgJoinEngine::SettingMusicDir);
    const QString path =
        prompts.chooseOpenFile(parent, tr("选择播放背景音乐"), folder, fileFilter());
    QDir::setCurrent(programDir);
    if (path.isEmpty())
        return;
    play(path);
    // A folder too long for the settings file is reported by the engine.
    engine.SetSettingString(CImgJoinEngine::SettingMusicDir, folderOf(path));
}

void CBackgroundMusic::play(const QString& path)
{
    MusicPlayer& music = player();
    music.stop();
    m_musicFile = path;
    m_playLoops = m_loop;
    music.start(path);
}

void CBackgroundMusic::onEndOfPlay()
{
    // A player that ends again while restarting does not restart twice.
    if (m_inEndOfPlay)
        return;
    if (!m_playLoops || !m_loop) {
        m_playLoops = false;
        return;
    }
    m_inEndOfPlay = true;
    player().restart();
    m_inEndOfPlay = false;
}
