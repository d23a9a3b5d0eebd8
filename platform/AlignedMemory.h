// Heap blocks aligned to a power of two, for storage that finds its block header
// from an object's address.
#pragma once

#include <cstddef>

namespace Platform {

// A block of size bytes at an address that is a multiple of alignment (a power of
// two, with size a multiple of it); std::bad_alloc when there is no memory.
void* AllocateAligned(std::size_t size, std::size_t alignment);
// Returns a block of AllocateAligned.
void FreeAligned(void* block) noexcept;

}  // namespace Platform
