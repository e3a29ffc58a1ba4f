#include "CBackgroundMusic.h"
#include "CImgJoinEngine.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "MusicPlayer.h"
#include "QtMusicPlayer.h"
#include "UserPrompts.h"
#include "ViewTestSupport.h"

#include <QAction>
#include <QAudioDevice>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace CommandId;

namespace {

// A player that records what it is asked and plays until told its play ended.
class FakeMusicPlayer : public MusicPlayer
{
public:
    void start(const QString& path) override
    {
        log << QStringLiteral("start ") + QFileInfo(path).fileName();
        m_file = path;
        playing = path;
    }
    void restart() override
    {
        log << QStringLiteral("restart");
        playing = m_file;
        if (endsAtOnce)
            finish();
    }
    void stop() override
    {
        log << QStringLiteral("stop");
        playing.clear();
    }
    // The running play reaches the end of its file.
    void finish()
    {
        playing.clear();
        emit endOfPlay();
    }
    void fail(const QString& reason) { emit failed(reason); }

    QStringList log;
    QString playing; // the file that plays now; empty when nothing plays
    bool endsAtOnce = false;

private:
    QString m_file;
};

// A tenth of a second of a quiet tone, as an 8 kHz mono WAV file.
void writeTone(const QString& path)
{
    constexpr qint32 rate = 8000;
    constexpr qint32 samples = rate / 10;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << qint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << qint32(16) << qint16(1) << qint16(1) << rate << qint32(rate * 2) << qint16(2)
        << qint16(16);
    out.writeRawData("data", 4);
    out << qint32(samples * 2);
    for (qint32 i = 0; i < samples; ++i)
        out << qint16((i % 16 < 8) ? 500 : -500);
}

// Hands the music a fake player and keeps a pointer to it.
FakeMusicPlayer*& useFake(CBackgroundMusic& music)
{
    static FakeMusicPlayer* made = nullptr;
    made = nullptr;
    music.setPlayerFactory([] {
        auto player = std::make_unique<FakeMusicPlayer>();
        made = player.get();
        return player;
    });
    return made;
}

} // namespace

class BackgroundMusicTest : public QObject
{
    Q_OBJECT

private slots:
    void loopSwitchAppliesToTheNextStartAndTheNextEnd();
    void secondFileStopsTheFirst();
    void chosenFileRemembersItsFolder();
    void loopCommandIsChecked();
    void playingFailuresGoToTheStatusBar();
    void realPlayerReportsWithoutHanging();
    void realPlayerPlaysAgainFromTheStart();
};

void BackgroundMusicTest::loopSwitchAppliesToTheNextStartAndTheNextEnd()
{
    CBackgroundMusic music;
    FakeMusicPlayer*& fake = useFake(music);
    // Started without the loop: turning it on does not make this play repeat.
    music.play(QStringLiteral("/m/a.mp3"));
    QVERIFY(fake != nullptr);
    music.toggleLoop();
    QVERIFY(music.looping());
    fake->finish();
    QVERIFY(fake->playing.isEmpty());
    QVERIFY(!fake->log.contains(QStringLiteral("restart")));

    // Started with the loop: each end begins the file again ...
    music.play(QStringLiteral("/m/b.mp3"));
    fake->finish();
    fake->finish();
    QCOMPARE(fake->log.count(QStringLiteral("restart")), 2);
    QCOMPARE(fake->playing, QStringLiteral("/m/b.mp3"));
    // ... until the switch is off at an end; switched on again afterwards,
    // nothing starts by itself.
    music.toggleLoop();
    fake->finish();
    music.toggleLoop();
    QCOMPARE(fake->log.count(QStringLiteral("restart")), 2);
    QVERIFY(fake->playing.isEmpty());

    // A player that ends again while it restarts is restarted once per end.
    music.play(QStringLiteral("/m/c.wav"));
    fake->endsAtOnce = true;
    fake->finish();
    QCOMPARE(fake->log.count(QStringLiteral("restart")), 3);
}

void BackgroundMusicTest::secondFileStopsTheFirst()
{
    CBackgroundMusic music;
    FakeMusicPlayer*& fake = useFake(music);
    music.play(QStringLiteral("/m/a.mp3"));
    music.play(QStringLiteral("/m/b.wav"));
    QCOMPARE(fake->log, QStringList({ QStringLiteral("stop"), QStringLiteral("start a.mp3"),
                                      QStringLiteral("stop"), QStringLiteral("start b.wav") }));
    QCOMPARE(fake->playing, QStringLiteral("/m/b.wav"));
    QCOMPARE(music.musicFile(), QStringLiteral("/m/b.wav"));
}

void BackgroundMusicTest::chosenFileRemembersItsFolder()
{
    ViewUnderTest t;
    FakeMusicPlayer*& fake = useFake(t.view->music());
    const QString folder = QDir(t.dir->path()).filePath(QStringLiteral("音乐"));
    QVERIFY(QDir().mkpath(folder));
    const QString song = QDir(folder).filePath(QStringLiteral("a.mp3"));
    QStringList starts;
    QString filter;
    QString answer = song;
    UserPrompts prompts;
    prompts.setChooseOpenFile(
        [&](QWidget*, const QString&, const QString& start, const QString& offered) {
            starts << start;
            filter = offered;
            QDir::setCurrent(folder); // as a file dialog may leave it
            return answer;
        });
    t.view->setPrompts(prompts);

    t.view->commands().trigger(PlayMusic);
    QCOMPARE(starts, QStringList({ QString() })); // no folder yet
    QVERIFY(filter.contains(QStringLiteral("*.mp3")) && filter.contains(QStringLiteral("*.wma")));
    QVERIFY(fake != nullptr);
    QCOMPARE(fake->playing, song);
    const QString stored = t.engine->GetSettingString(CImgJoinEngine::SettingMusicDir);
    QCOMPARE(stored, QDir::toNativeSeparators(folder + '/'));
    QCOMPARE(QDir::currentPath(), QDir(t.dir->path()).absolutePath());

    // The next dialog opens there; cancelling it changes nothing.
    answer.clear();
    t.view->commands().trigger(PlayMusic);
    QCOMPARE(starts.last(), stored);
    QCOMPARE(fake->playing, song);
    QCOMPARE(t.engine->GetSettingString(CImgJoinEngine::SettingMusicDir), stored);
    QCOMPARE(QDir::currentPath(), QDir(t.dir->path()).absolutePath());

    // A file at the root keeps a single separator.
    QCOMPARE(CBackgroundMusic::folderOf(QStringLiteral("/a.mp3")), QDir::toNativeSeparators("/"));
}

void BackgroundMusicTest::loopCommandIsChecked()
{
    ViewUnderTest t;
    QAction* loop = t.view->commands().action(MusicLoop);
    t.view->updateActions();
    QVERIFY(loop->isEnabled() && t.view->commands().action(PlayMusic)->isEnabled());
    QVERIFY(loop->isCheckable() && !loop->isChecked());
    t.view->commands().trigger(MusicLoop);
    QVERIFY(loop->isChecked() && t.view->music().looping());
    t.view->commands().trigger(MusicLoop);
    QVERIFY(!loop->isChecked() && !t.view->music().looping());
}

void BackgroundMusicTest::playingFailuresGoToTheStatusBar()
{
    ViewUnderTest t;
    FakeMusicPlayer*& fake = useFake(t.view->music());
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    t.view->music().play(QStringLiteral("/m/a.mp3"));
    fake->fail(QStringLiteral("no sound"));
    QCOMPARE(status.count(), 1);
    QCOMPARE(status.first().first().toString(), QStringLiteral("no sound"));
    QCOMPARE(t.boxes.caught(), 0);
}

void BackgroundMusicTest::realPlayerReportsWithoutHanging()
{
    // The program's own player: a file that is not there, and one that is no
    // music. Without a sound device the second is refused for that; with
    // one, the media back end refuses it. Either way the reason reaches the
    // status bar and nothing waits for a click.
    ViewUnderTest t;
    QSignalSpy status(t.view.get(), &CQznImgEdtJoinView::statusMessage);
    const QString missing = QDir(t.dir->path()).filePath(QStringLiteral("missing.mp3"));
    t.view->music().play(missing);
    QCOMPARE(status.count(), 1);
    QVERIFY(status.first().first().toString().contains(QDir::toNativeSeparators(missing)));

    const QString noise = QDir(t.dir->path()).filePath(QStringLiteral("noise.mp3"));
    QFile file(noise);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    t.view->music().play(noise);
    QTRY_VERIFY_WITH_TIMEOUT(status.count() >= 2, 10000);
    QVERIFY(status.at(1).first().toString().contains(QDir::toNativeSeparators(noise)));
    QCOMPARE(t.boxes.caught(), 0);
}

void BackgroundMusicTest::realPlayerPlaysAgainFromTheStart()
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        QSKIP("no sound output device");
    QTemporaryDir dir;
    const QString tone = QDir(dir.path()).filePath(QStringLiteral("tone.wav"));
    writeTone(tone);
    QtMusicPlayer player;
    QSignalSpy ends(&player, &MusicPlayer::endOfPlay);
    QSignalSpy failures(&player, &MusicPlayer::failed);
    connect(&player, &MusicPlayer::endOfPlay, &player, [&] {
        if (ends.count() < 3)
            player.restart();
    });
    player.start(tone);
    QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 3, 15000);
    QCOMPARE(failures.count(), 0);
}

QTEST_MAIN(BackgroundMusicTest)
#include "BackgroundMusicTest.moc"
