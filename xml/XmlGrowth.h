// The capacity step shared by child lists and attribute arrays.
#pragma once

#include <cstddef>

namespace TolvexXml {

// 4 while the capacity is at most 8, 16 while it is at most 64, then a quarter of it.
inline std::size_t GrownCapacity(std::size_t capacity) {
    if (capacity <= 8) return capacity + 4;
    if (capacity <= 64) return capacity + 16;
    return capacity + capacity / 4;
}

}  // namespace TolvexXml
