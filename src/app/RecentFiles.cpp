#include "RecentFiles.h"

#include <QSettings>

namespace {

QSettings settingsStore()
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
    const QSettings settings = settingsStore();
    QStringList files;
    for (int i = 0; i < MaxEntries; ++i) {
        const QString file = settings.value(key(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void storeEntries(const QStringList& files)
{
    QSettings settings = settingsStore();
    for (int i = 0; i < MaxEntries; ++i) {
        if (i < files.size())
            settings.setValue(key(i), files.at(i));
        else
            settings.remove(key(i));
    }
}

void add(const QString& file)
{
    QStringList files = entries();
    files.removeAll(file);
    files.prepend(file);
    storeEntries(files);
}

void remove(const QString& file)
{
    QStringList files = entries();
    if (files.removeAll(file) > 0)
        storeEntries(files);
}

} // namespace RecentFiles
