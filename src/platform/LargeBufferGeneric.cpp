#include "LargeBuffer.h"

#include <cstdint>
#include <new>

// Systems without large pages of their own: aligned blocks from the heap.
namespace LargeBuffer {

namespace {

constexpr std::size_t Alignment = 64;

} // namespace

std::size_t minimumBytes()
{
    return std::size_t(8) << 20;
}

std::size_t alignment()
{
    return Alignment;
}

void* allocate(std::size_t bytes)
{
    // Some runtimes round the size up to the alignment without a check.
    if (bytes > SIZE_MAX - Alignment)
        return nullptr;
    return ::operator new(bytes == 0 ? 1 : bytes, std::align_val_t(Alignment), std::nothrow);
}

void release(void* block)
{
    ::operator delete(block, std::align_val_t(Alignment));
}

} // namespace LargeBuffer
