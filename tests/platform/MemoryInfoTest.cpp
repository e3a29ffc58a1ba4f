#include "MemoryInfo.h"

#include <gtest/gtest.h>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

// The status bar shows the figure as kilobytes. Read against the machine's
// physical memory, a figure in bytes would exceed it and one in megabytes
// would be a sliver of it.
TEST(MemoryInfoTest, AvailableMemoryIsInKilobytesAndWithinThePhysicalMemory)
{
#ifdef Q_OS_LINUX
    const qint64 physicalKb = qint64(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE) / 1024;
    ASSERT_GT(physicalKb, 0);
    const qint64 availableKb = MemoryInfo::availableKb();
    EXPECT_LE(availableKb, physicalKb);
    EXPECT_GT(availableKb, physicalKb / 256);
#else
    GTEST_SKIP() << "this system has no memory reading of its own";
#endif
}
