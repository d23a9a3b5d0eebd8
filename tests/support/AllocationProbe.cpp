#include "support/AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TOLVEX_ALLOCATION_PROBE 0
#else
#define TOLVEX_ALLOCATION_PROBE 1
#endif

namespace TolvexTest {

#if TOLVEX_ALLOCATION_PROBE

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

void Note(std::size_t size) noexcept {
    if (!watching.load(std::memory_order_relaxed)) return;
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

}  // namespace

std::optional<std::size_t> LargestAllocationDuring(const std::function<void()>& action) {
    largest = 0;
    watching = true;
    try {
        action();
    } catch (...) {
        watching = false;
        throw;
    }
    watching = false;
    return largest.load();
}

#else

std::optional<std::size_t> LargestAllocationDuring(const std::function<void()>& action) {
    action();
    return std::nullopt;
}

#endif

}  // namespace TolvexTest

#if TOLVEX_ALLOCATION_PROBE

// The array and no-throw forms of the runtime call these two.
void* operator new(std::size_t size) {
    TolvexTest::Note(size);
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

#endif
