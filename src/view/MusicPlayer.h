#pragma once

#include <QObject>
#include <QString>

// What the background music needs of a sound player: one file at a time,
// played once from its start to its end. The player says when a play has
// reached its end and, in the program's own words, why a file cannot be
// played; it never asks the user anything.
class MusicPlayer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Stops whatever plays and plays the file at path from its start.
    virtual void start(const QString& path) = 0;
    // Plays the file of the last start again from its start.
    virtual void restart() = 0;
    virtual void stop() = 0;

signals:
    // A play ran to the end of its file.
    void endOfPlay();
    // The file of the last start cannot be played, and why.
    void failed(const QString& reason);
};
