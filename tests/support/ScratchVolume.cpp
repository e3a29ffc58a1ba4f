#include "ScratchVolume.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

ScratchVolume::ScratchVolume(int kilobytes)
{
#ifdef Q_OS_LINUX
    if (!m_dir.isValid() || ::geteuid() != 0)
        return;
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                        options.constData()) == 0;
#else
    Q_UNUSED(kilobytes);
#endif
}

ScratchVolume::~ScratchVolume()
{
#ifdef Q_OS_LINUX
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
}

QString ScratchVolume::path(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

bool ScratchVolume::fill()
{
    QFile filler(path(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    for (int i = 0; i < 1 << 20; ++i) {
        if (filler.write(block) != block.size())
            return true;
    }
    return false;
}
