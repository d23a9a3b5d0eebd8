#include "platform/MemoryPages.h"

#include <windows.h>

#include <new>

namespace Platform {

// VirtualAlloc places every allocation at a multiple of the allocation
// granularity, 64 KiB, so no alignment up to that needs more.
void* AllocatePages(std::size_t size, std::size_t) {
    void* memory = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!memory) throw std::bad_alloc();
    return memory;
}

void FreePages(void* memory, std::size_t) noexcept { VirtualFree(memory, 0, MEM_RELEASE); }

}  // namespace Platform
