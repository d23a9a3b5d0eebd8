#include "platform/AlignedMemory.h"

#include <malloc.h>

#include <new>

namespace Platform {

void* AllocateAligned(std::size_t size, std::size_t alignment) {
    void* block = _aligned_malloc(size, alignment);
    if (!block) throw std::bad_alloc();
    return block;
}

void FreeAligned(void* block) noexcept { _aligned_free(block); }

}  // namespace Platform
