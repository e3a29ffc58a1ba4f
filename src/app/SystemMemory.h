#pragma once

#include <QString>

// The available physical memory, as the status bar shows it.
namespace SystemMemory {

// Kilobytes of physical memory available now; 0 when it cannot be read.
qint64 availableKb();
// "<kilobytes>.00KB".
QString availableText();

} // namespace SystemMemory
