#include "MemoryInfo.h"

#include <QFile>
#include <QRegularExpression>

#include <unistd.h>

namespace MemoryInfo {

qint64 availableKb()
{
    // MemAvailable counts what can be had without swapping, caches included.
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly)) {
        static const QRegularExpression line(QStringLiteral("^MemAvailable:\\s+(\\d+)\\s*kB"),
                                             QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(QString::fromLatin1(info.readAll()));
        if (match.hasMatch())
            return match.captured(1).toLongLong();
    }
    // Older kernels: the free pages alone.
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return qint64(pages) * pageSize / 1024;
}

} // namespace MemoryInfo
