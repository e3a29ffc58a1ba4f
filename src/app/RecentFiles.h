#pragma once

#include <QString>
#include <QStringList>

// The recent-file list of the document commands: four entries, newest first,
// kept in the program's settings store.
namespace RecentFiles {

constexpr int MaxEntries = 4;

void add(const QString& file);
// Drops a file that can no longer be opened.
void remove(const QString& file);
QStringList entries();

} // namespace RecentFiles
