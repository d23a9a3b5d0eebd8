// The attributes of a node: the entries (TXmlAttrData) and the array that holds
// them (TXmlAttrArray).
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/CarvedBlocks.h"
#include "platform/Variant.h"

namespace TolvexXml {

// One attribute: a name id of the node's name table and a typed value. The
// value comes first so that the name id fills the padding at its end: 40 bytes
// an entry instead of 48.
struct TXmlAttrData {
    [[no_unique_address]] Platform::Variant Value;
    std::int32_t NameId = -1;
};
static_assert(sizeof(TXmlAttrData) == sizeof(Platform::Variant), "the name id fills the value's padding");

// The entries of a node: an array from the heap, or one carved from a load's
// blocks behind a head that keeps its size (a loaded node needs no heap block for
// its attributes). The pointer's low bit, free under the entries' alignment,
// tells the two apart.
class TXmlAttrArray {
    // Before the entries of a carved array.
    struct alignas(TXmlAttrData) CarvedHead {
        std::size_t count;
    };

public:
    // The most entries an array carved from blocks holds.
    static constexpr std::size_t MaxCarvedCount =
        (Platform::CarvedBlocks::MaxObjectSize - sizeof(CarvedHead)) / sizeof(TXmlAttrData);

    TXmlAttrArray() noexcept = default;
    // capacity empty entries from the heap.
    explicit TXmlAttrArray(std::size_t capacity);
    // The count entries moved into room carved from the blocks (count is 1 to
    // MaxCarvedCount).
    TXmlAttrArray(Platform::CarvedBlocks& blocks, TXmlAttrData* entries, std::size_t count);
    TXmlAttrArray(TXmlAttrArray&& other) noexcept : tagged_(std::exchange(other.tagged_, 0)) {}
    TXmlAttrArray& operator=(TXmlAttrArray&& other) noexcept {
        if (this != &other) {
            Release();
            tagged_ = std::exchange(other.tagged_, 0);
        }
        return *this;
    }
    TXmlAttrArray(const TXmlAttrArray&) = delete;
    TXmlAttrArray& operator=(const TXmlAttrArray&) = delete;
    ~TXmlAttrArray() { Release(); }

    TXmlAttrData* get() const noexcept { return reinterpret_cast<TXmlAttrData*>(tagged_ & ~CarvedTag); }
    TXmlAttrData& operator[](std::size_t index) const noexcept { return get()[index]; }

private:
    static constexpr std::uintptr_t CarvedTag = 1;

    void Release() noexcept;

    std::uintptr_t tagged_ = 0;
};

}  // namespace TolvexXml
