// Memory straight from the operating system in whole pages, outside the heap the
// host uses: the document blocks of the XML library come from here.
#pragma once

#include <cstddef>

namespace Platform {

// Committed, zero-filled pages of size bytes at an address that is a multiple of
// alignment (a power of two, at most 65536, with size a multiple of it);
// std::bad_alloc when the system has none.
void* AllocatePages(std::size_t size, std::size_t alignment);
// Gives pages of AllocatePages back to the system.
void FreePages(void* memory, std::size_t size) noexcept;

}  // namespace Platform
