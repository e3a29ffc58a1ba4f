#pragma once

#include <QString>
#include <QTemporaryDir>

// A small file system of its own (a tmpfs mounted on a temporary folder) on
// which a test can run out of disk space. Mounting needs administrator
// rights: without them, or on systems without tmpfs, mounted() is false and
// the test should skip. Unmounted again when the object goes.
class ScratchVolume
{
public:
    explicit ScratchVolume(int kilobytes = 512);
    ~ScratchVolume();
    ScratchVolume(const ScratchVolume&) = delete;
    ScratchVolume& operator=(const ScratchVolume&) = delete;

    bool mounted() const { return m_mounted; }
    QString root() const { return m_dir.path(); }
    QString path(const QString& name) const;

    // Writes a filler file until the volume is full; true when it is.
    bool fill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
