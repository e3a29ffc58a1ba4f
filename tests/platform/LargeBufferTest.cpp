#include "LargeBuffer.h"

#include <QFile>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

// AddressSanitizer keeps freed blocks in quarantine to catch late uses, so
// under it released memory stays resident by design.
#if defined(__SANITIZE_ADDRESS__)
#define JOIN_FREED_MEMORY_QUARANTINED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JOIN_FREED_MEMORY_QUARANTINED 1
#endif
#endif

namespace {

constexpr std::size_t MB = std::size_t(1) << 20;

bool aligned(const void* block, std::size_t alignment)
{
    return reinterpret_cast<std::uintptr_t>(block) % alignment == 0;
}

#ifdef Q_OS_LINUX
// Bytes of this process now in memory.
[[maybe_unused]] qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}
#endif

} // namespace

TEST(LargeBufferTest, BlocksAreAlignedWritableToTheLastByteAndApart)
{
    const std::size_t alignment = LargeBuffer::alignment();
    EXPECT_GE(alignment, 64u);
    EXPECT_EQ(alignment & (alignment - 1), 0u);

    // An exact minimum and an odd size, as a picture's rows give.
    const std::size_t sizes[] = { LargeBuffer::minimumBytes(),
                                  3 * LargeBuffer::minimumBytes() + 12345 };
    auto* first = static_cast<unsigned char*>(LargeBuffer::allocate(sizes[0]));
    auto* second = static_cast<unsigned char*>(LargeBuffer::allocate(sizes[1]));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(aligned(first, alignment));
    EXPECT_TRUE(aligned(second, alignment));
    std::memset(first, 0xA5, sizes[0]);
    std::memset(second, 0x3C, sizes[1]);
    for (std::size_t i = 0; i < sizes[0]; i += 4093)
        ASSERT_EQ(first[i], 0xA5) << i;
    for (std::size_t i = 0; i < sizes[1]; i += 4093)
        ASSERT_EQ(second[i], 0x3C) << i;
    EXPECT_EQ(first[sizes[0] - 1], 0xA5);
    EXPECT_EQ(second[sizes[1] - 1], 0x3C);
    LargeBuffer::release(first);
    LargeBuffer::release(second);
    LargeBuffer::release(nullptr);
}

// Rounding a size up must not wrap around to a small block.
TEST(LargeBufferTest, SizesBeyondTheAddressSpaceGiveNothing)
{
    EXPECT_EQ(LargeBuffer::allocate(SIZE_MAX), nullptr);
    EXPECT_EQ(LargeBuffer::allocate(SIZE_MAX - MB / 2), nullptr);
}

// A 40-megapixel result takes 160 MB; blocks kept after their release would
// soon use up the machine.
TEST(LargeBufferTest, ReleasedBlocksGoBackToTheSystem)
{
#ifdef JOIN_FREED_MEMORY_QUARANTINED
    GTEST_SKIP() << "AddressSanitizer holds released blocks in its quarantine";
#elif defined(Q_OS_LINUX)
    const std::size_t size = 64 * MB;
    const qint64 before = residentBytes();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 16; ++i) {
        void* block = LargeBuffer::allocate(size);
        ASSERT_NE(block, nullptr);
        std::memset(block, i, size);
        LargeBuffer::release(block);
    }
    EXPECT_LT(residentBytes() - before, qint64(2 * size));
#else
    GTEST_SKIP() << "the resident size is read on Linux only";
#endif
}
