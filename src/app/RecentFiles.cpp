#include "RecentFiles.h"

#include <QSettings>

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("qznImgEdtJoin"));
}

QString key(int index)
{
    return QStringLiteral("Recent File List/File%1").arg(index + 1);
}

} // namespace

namespace RecentFiles {

QStringList entries()
{
    const QSettings settings = store();
    QStringList files;
    for (int i = 0; i < MaxEntries; ++i) {
        const QString file = settings.value(key(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void add(const QString& file)
{
    QStringList files = entries();
    files.removeAll(file);
    files.prepend(file);
    QSettings settings = store();
    for (int i = 0; i < MaxEntries; ++i) {
        if (i < files.size())
            settings.setValue(key(i), files.at(i));
        else
            settings.remove(key(i));
    }
}

} // namespace RecentFiles
