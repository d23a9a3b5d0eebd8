#include "platform/MemoryPages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace Platform {

// mmap aligns to pages only: a mapping longer by the alignment holds an aligned
// run of size bytes, and the parts before and after it are unmapped again.
void* AllocatePages(std::size_t size, std::size_t alignment) {
    const std::size_t pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t extra = alignment > pageSize ? alignment - pageSize : 0;
    void* mapped = mmap(nullptr, size + extra, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + alignment - 1) & ~(static_cast<std::uintptr_t>(alignment) - 1);
    const std::size_t before = aligned - start;
    if (before != 0) munmap(mapped, before);
    if (extra - before != 0) munmap(reinterpret_cast<void*>(aligned + size), extra - before);
    return reinterpret_cast<void*>(aligned);
}

void FreePages(void* memory, std::size_t size) noexcept { munmap(memory, size); }

}  // namespace Platform
