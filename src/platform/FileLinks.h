#pragma once

#include <QString>
#include <QtGlobal>

// How the file system names a file: a file may have several names (hard
// links), and replacing one name with a new file parts it from the others.
namespace FileLinks {

// How many names the file at path has, following symbolic links to the file
// they name; 1 on systems that do not tell, 0 when the file cannot be examined.
qint64 nameCount(const QString& path);

} // namespace FileLinks
