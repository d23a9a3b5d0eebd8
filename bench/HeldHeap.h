// The heap a loaded document holds, from glibc's mallinfo2: the arena's blocks
// in use and the blocks mapped on their own (large ones, such as a file's text).
#pragma once

#include <malloc.h>

#include <cstddef>

namespace TolvexBench {

inline std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The memory that what load() returns holds while it lives, per byte of the
// input, as inUse() counts it (the heap by default).
template <class Load, class InUse = std::size_t (*)()>
double HeldHeapPerInputByte(Load load, std::size_t inputSize, InUse inUse = HeapInUse) {
    const std::size_t before = inUse();
    const auto held = load();
    return static_cast<double>(inUse() - before) / static_cast<double>(inputSize);
}

}  // namespace TolvexBench
