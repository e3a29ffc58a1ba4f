#include "LargeBuffer.h"

#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

namespace LargeBuffer {

namespace {

// The size of a transparent huge page on x86-64 and of the usual arm64 one.
constexpr std::size_t HugePage = std::size_t(2) << 20;

} // namespace

std::size_t minimumBytes()
{
    return 4 * HugePage;
}

std::size_t alignment()
{
    return HugePage;
}

void* allocate(std::size_t bytes)
{
    if (bytes > SIZE_MAX - HugePage)
        return nullptr;
    // aligned_alloc wants a multiple of the alignment.
    const std::size_t rounded = ((bytes == 0 ? 1 : bytes) + HugePage - 1) / HugePage * HugePage;
    void* block = std::aligned_alloc(HugePage, rounded);
#ifdef MADV_HUGEPAGE
    if (block)
        madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return block;
}

void release(void* block)
{
    std::free(block);
}

} // namespace LargeBuffer
