// The capacity step shared by child lists and attribute arrays.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

namespace TolvexXml {

// 4 while the capacity is at most 8, 16 while it is at most 64, then a quarter of
// it; never past the largest 32-bit count.
inline std::int32_t GrownCapacity(std::int32_t capacity) {
    if (capacity <= 8) return capacity + 4;
    if (capacity <= 64) return capacity + 16;
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{capacity} + capacity / 4,
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace TolvexXml
