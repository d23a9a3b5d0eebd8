#include "platform/AlignedMemory.h"

#include <cstdlib>
#include <new>

namespace Platform {

void* AllocateAligned(std::size_t size, std::size_t alignment) {
    void* block = std::aligned_alloc(alignment, size);
    if (!block) throw std::bad_alloc();
    return block;
}

void FreeAligned(void* block) noexcept { std::free(block); }

}  // namespace Platform
