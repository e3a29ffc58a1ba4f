#include "FileLinks.h"

#include <QFile>

#include <sys/stat.h>

namespace FileLinks {

qint64 nameCount(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 0;
    return qint64(status.st_nlink);
}

} // namespace FileLinks
