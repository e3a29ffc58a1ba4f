#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CImgJoinEngine;
class MusicPlayer;
class QWidget;
class UserPrompts;

// The background music of the view: one chosen file, played once or in a
// loop. The loop switch does not touch a play that is running: it applies
// to the next start, and at the end of a play that was started looping it
// decides whether the play begins again. A play started without the loop
// ends at the end of its file whatever the switch says by then.
class CBackgroundMusic : public QObject
{
    Q_OBJECT

public:
    using PlayerFactory = std::function<std::unique_ptr<MusicPlayer>()>;

    explicit CBackgroundMusic(QObject* parent = nullptr);
    ~CBackgroundMusic() override;

    // Where the players come from; the program's own player by default. A
    // player that was made already is given up.
    void setPlayerFactory(PlayerFactory factory);

    // The choose-and-play command: the file dialog starts in the folder of
    // the music chosen last (setting 104); the chosen file plays and its
    // folder, with the trailing separator, becomes that folder. The current
    // directory returns to programDir afterwards.
    void chooseAndPlay(QWidget* parent, const UserPrompts& prompts, CImgJoinEngine& engine,
                       const QString& programDir);
    // Stops the music that plays and plays path from its start.
    void play(const QString& path);

    bool looping() const { return m_loop; }
    void toggleLoop() { m_loop = !m_loop; }
    // The file started last; empty before the first.
    QString musicFile() const { return m_musicFile; }

    // The file dialog's filter.
    static QString fileFilter();
    // The folder of path as the music folder setting keeps it: native
    // separators, ending in one.
    static QString folderOf(const QString& path);

signals:
    // Why the music cannot be played, for the status bar.
    void statusMessage(const QString& message);

private:
    MusicPlayer& player();
    void onEndOfPlay();

    PlayerFactory m_playerFactory;
    std::unique_ptr<MusicPlayer> m_player;
    QString m_musicFile;
    bool m_loop = false;
    // The running play was started with the loop switch on.
    bool m_playLoops = false;
    bool m_inEndOfPlay = false;
};
