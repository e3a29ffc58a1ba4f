#pragma once

#include <QtGlobal>

// The physical memory of this machine as the system reports it.
namespace MemoryInfo {

// Kilobytes of physical memory available now, what can be had without
// swapping (caches included); 0 when the system does not tell.
qint64 availableKb();

} // namespace MemoryInfo
