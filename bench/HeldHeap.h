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

// The heap that what load() returns holds while it lives, per byte of the input.
template <class Load>
double HeldHeapPerInputByte(Load load, std::size_t inputSize) {
    const std::size_t before = HeapInUse();
    const auto held = load();
    return static_cast<double>(HeapInUse() - before) / static_cast<double>(inputSize);
}

}  // namespace TolvexBench
