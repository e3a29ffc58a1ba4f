#pragma once

#include "MusicPlayer.h"

class QAudioOutput;
class QMediaPlayer;

// The sound player of the program, on Qt Multimedia. The media player is
// made at the first start, so a view that never plays music costs nothing.
// Without a sound output device nothing is started: the media back ends of
// some systems cannot run without one.
class QtMusicPlayer : public MusicPlayer
{
    Q_OBJECT

public:
    explicit QtMusicPlayer(QObject* parent = nullptr);
    ~QtMusicPlayer() override;

    void start(const QString& path) override;
    void restart() override;
    void stop() override;

private:
    void makePlayer();
    // Reports the first failure of a start; the back end may repeat it.
    void report(const QString& reason);

    QMediaPlayer* m_player = nullptr; // children
    QAudioOutput* m_output = nullptr;
    QString m_path;
    bool m_reported = false;
};
