#pragma once

#include <cstddef>

// Memory blocks for large pictures. Where the system offers large pages the
// blocks are placed on them: a 40-megapixel picture otherwise costs tens of
// thousands of page faults, more than the pixel work on it.
namespace LargeBuffer {

// Blocks smaller than this gain nothing over the ordinary heap.
std::size_t minimumBytes();
// Every block starts at a multiple of this (a power of two, 64 at least).
std::size_t alignment();
// A block of at least bytes bytes, nullptr when memory is short. Give it
// back with release().
void* allocate(std::size_t bytes);
// Gives back a block from allocate(); nullptr is ignored.
void release(void* block);

} // namespace LargeBuffer
