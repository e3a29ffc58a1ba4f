#include "WriteFailure.h"

#include <QDir>
#include <QFileDevice>
#include <QSaveFile>

#include <cerrno>

bool WriteFailure::isNoSpace(int errorNumber)
{
#ifdef EDQUOT
    if (errorNumber == EDQUOT)
        return true;
#endif
    return errorNumber == ENOSPC;
}

bool WriteFailure::outOfSpace(const QFileDevice& file, int errorNumber)
{
    return isNoSpace(errorNumber) || file.error() == QFileDevice::ResourceError;
}

QString WriteFailure::noSpaceReason(const QString& path)
{
    return tr("磁盘空间不足, 无法写入 %1").arg(QDir::toNativeSeparators(path));
}

QString WriteFailure::reason(const QString& path, const QFileDevice& file, int errorNumber,
                             const QString& other)
{
    return outOfSpace(file, errorNumber) ? noSpaceReason(path) : other;
}

bool WriteFailure::commit(QSaveFile& file, int* errorNumber)
{
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        // Not committed: the temporary file goes with the QSaveFile and the
        // old file stays. cancelWriting() would replace the reason Qt gave.
        *errorNumber = errno;
        return false;
    }
    const bool committed = file.commit();
    *errorNumber = committed ? 0 : errno;
    return committed;
}
