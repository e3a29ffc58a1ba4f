#pragma once

#include <QCoreApplication>
#include <QString>

class QFileDevice;
class QSaveFile;

// Tells a write that failed for want of disk space from other failures, so
// the user reads that the disk is full instead of a vague "Unknown error".
// Qt reports a full disk as a resource error, or not at all when a write
// comes up short; the system's error number, taken right after the failing
// write, tells it then.
class WriteFailure
{
    Q_DECLARE_TR_FUNCTIONS(WriteFailure)

public:
    // Whether a system error number means that the disk or the user's disk
    // quota is full.
    static bool isNoSpace(int errorNumber);

    // Whether the failed write to file ran out of space: errorNumber is errno
    // right after the failure.
    static bool outOfSpace(const QFileDevice& file, int errorNumber);

    // "The disk is full, path cannot be written."
    static QString noSpaceReason(const QString& path);

    // Commits a save file once its buffered bytes are really written. Qt's
    // commit() misses a failure of the last buffered write and would put a
    // cut, even empty, file in place of the old one; here such a save is
    // dropped and the old file stays. On failure *errorNumber gets errno of
    // the failure (0 when the system gave none).
    static bool commit(QSaveFile& file, int* errorNumber);

    // noSpaceReason(path) when the failure ran out of space, otherwise other.
    static QString reason(const QString& path, const QFileDevice& file, int errorNumber,
                          const QString& other);
};
