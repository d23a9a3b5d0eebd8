// The attributes of a node: the typed entries (TXmlAttrData), the packed entries
// of a loaded node (TXmlPackedAttr), the array that holds either kind
// (TXmlAttrArray) and a view of one value (TXmlAttrValue).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "base/CarvedBlocks.h"
#include "base/Variant.h"

namespace TolvexXml {

// What the parts of a loaded object take (its attribute array, its values' texts):
// the pieces carved from the load's blocks, and whether any part lies on the heap.
struct TXmlPartUse {
    std::int64_t carvedPieces = 0;
    bool onHeap = false;
};

// One attribute: a name id of the node's name table and a typed value. The
// value comes first so that the name id fills the padding at its end: 40 bytes
// an entry instead of 48.
struct TXmlAttrData {
    [[no_unique_address]] Platform::Variant Value;
    std::int32_t NameId = -1;
};
static_assert(sizeof(TXmlAttrData) == sizeof(Platform::Variant), "the name id fills the value's padding");

// One attribute as a load found it: a name id and the end of its text among the
// texts of the array, which follow the entries in order (a text starts where the
// one before it ends). The value is 8-bit text; a typed value is made only when
// asked for.
struct TXmlPackedAttr {
    std::int32_t NameId;
    std::uint32_t TextEnd;
};

// The value of one attribute, typed or packed, as long as the node's attributes
// stay as they are. A packed value reads as an 8-bit text (varString).
class TXmlAttrValue {
public:
    explicit TXmlAttrValue(const Platform::Variant& typed) noexcept : typed_(&typed) {}
    explicit TXmlAttrValue(std::string_view text) noexcept : text_(text) {}

    Platform::VarType Type() const noexcept { return typed_ ? typed_->Type() : Platform::varString; }
    bool IsText() const noexcept { return !typed_ || typed_->IsText(); }
    bool IsNumeric() const noexcept { return typed_ && typed_->IsNumeric(); }
    // The typed value; null for a packed one.
    const Platform::Variant* Typed() const noexcept { return typed_; }
    // The bytes of an 8-bit text (varString); EInvalidCast for any other type.
    std::string_view RawString() const { return typed_ ? typed_->RawString() : text_; }
    std::string ToString() const { return typed_ ? typed_->ToString() : std::string(text_); }
    Platform::Variant ToVariant() const {
        return typed_ ? *typed_ : Platform::Variant::FromString(std::string(text_));
    }

private:
    const Platform::Variant* typed_ = nullptr;
    std::string_view text_;
};

// An attribute by its place: name id and value view.
struct TXmlAttrRef {
    std::int32_t NameId;
    TXmlAttrValue Value;
};

// The entries of a node, in one of three forms told apart by the pointer's low
// bits (free under the entries' alignment):
// - typed entries in an array from the heap (every node that was changed);
// - typed entries carved from a load's blocks behind a head that keeps their
//   count (a loaded node whose values are not all 8-bit text, or too long);
// - packed entries and their texts carved as one piece behind a head that keeps
//   the count (a loaded node): 8 bytes an attribute plus its text, given back
//   with one step.
class TXmlAttrArray {
    // Before the entries of a carved typed array.
    struct alignas(TXmlAttrData) CarvedHead {
        std::size_t count;
    };
    // Before the entries of a packed array.
    struct PackedHead {
        std::uint32_t count;
        std::uint32_t textBytes;
    };

public:
    // The most entries an array carved from blocks holds.
    static constexpr std::size_t MaxCarvedCount =
        (Platform::CarvedBlocks::MaxObjectSize - sizeof(CarvedHead)) / sizeof(TXmlAttrData);

    // Whether count attributes with textBytes of text in all fit one packed piece.
    static bool Packs(std::size_t count, std::size_t textBytes) noexcept {
        return count > 0 && count <= Platform::CarvedBlocks::MaxObjectSize &&
               textBytes <= Platform::CarvedBlocks::MaxObjectSize &&
               PackedSize(count, textBytes) <= Platform::CarvedBlocks::MaxObjectSize;
    }

    TXmlAttrArray() noexcept = default;
    // capacity empty entries from the heap.
    explicit TXmlAttrArray(std::size_t capacity);
    // The count entries moved into room carved from the blocks (count is 1 to
    // MaxCarvedCount).
    TXmlAttrArray(Platform::CarvedBlocks& blocks, TXmlAttrData* entries, std::size_t count);
    // A packed array of count entries and textBytes of text (Packs holds), carved
    // from the blocks; the caller fills PackedEntries and PackedTexts.
    // Inline: a load carves one for nearly every element.
    static TXmlAttrArray CarvePacked(Platform::CarvedBlocks& blocks, std::size_t count, std::size_t textBytes) {
        auto* head = new (blocks.Allocate(PackedSize(count, textBytes)))
            PackedHead{static_cast<std::uint32_t>(count), static_cast<std::uint32_t>(textBytes)};
        TXmlAttrArray array;
        array.tagged_ = reinterpret_cast<std::uintptr_t>(head + 1) | PackedTag;
        return array;
    }
    TXmlAttrArray(TXmlAttrArray&& other) noexcept : tagged_(std::exchange(other.tagged_, 0)) {}
    TXmlAttrArray& operator=(TXmlAttrArray&& other) noexcept {
        if (this != &other) {
            if (tagged_) Release();
            tagged_ = std::exchange(other.tagged_, 0);
        }
        return *this;
    }
    TXmlAttrArray(const TXmlAttrArray&) = delete;
    TXmlAttrArray& operator=(const TXmlAttrArray&) = delete;
    ~TXmlAttrArray() {
        if (tagged_) Release();
    }

    bool IsPacked() const noexcept { return (tagged_ & FormBits) == PackedTag; }

    // Typed entries (not packed).
    TXmlAttrData* get() const noexcept { return reinterpret_cast<TXmlAttrData*>(tagged_ & ~FormBits); }
    TXmlAttrData& operator[](std::size_t index) const noexcept { return get()[index]; }

    // Packed entries and the texts after them.
    TXmlPackedAttr* PackedEntries() const noexcept {
        return reinterpret_cast<TXmlPackedAttr*>(tagged_ & ~FormBits);
    }
    char* PackedTexts() const noexcept {
        return reinterpret_cast<char*>(PackedEntries() + reinterpret_cast<PackedHead*>(tagged_ & ~FormBits)[-1].count);
    }
    std::string_view PackedText(std::size_t index) const noexcept {
        const TXmlPackedAttr* entries = PackedEntries();
        const std::uint32_t begin = index == 0 ? 0 : entries[index - 1].TextEnd;
        return std::string_view(PackedTexts() + begin, entries[index].TextEnd - begin);
    }

    // The name id of the entry at index, in either form.
    std::int32_t& NameIdAt(std::size_t index) const noexcept {
        return IsPacked() ? PackedEntries()[index].NameId : get()[index].NameId;
    }
    TXmlAttrValue ValueAt(std::size_t index) const noexcept {
        return IsPacked() ? TXmlAttrValue(PackedText(index)) : TXmlAttrValue(get()[index].Value);
    }

    // For a release of the whole region: what the array with count entries takes
    // (its own piece and its values' texts), and the freeing of what it holds on
    // the heap, leaving the array empty and its pieces where they are.
    // Inline for the forms a load makes: none or packed.
    TXmlPartUse PartUse(std::size_t count) const noexcept {
        if (IsPacked()) return TXmlPartUse{1, false};
        return tagged_ ? TypedPartUse(count) : TXmlPartUse{};
    }
    void FreeHeapParts(std::size_t count) noexcept;

private:
    TXmlPartUse TypedPartUse(std::size_t count) const noexcept;

    static constexpr std::uintptr_t FormBits = 3;
    static constexpr std::uintptr_t CarvedTag = 1;
    static constexpr std::uintptr_t PackedTag = 2;

    static constexpr std::size_t PackedSize(std::size_t count, std::size_t textBytes) noexcept {
        return sizeof(PackedHead) + count * sizeof(TXmlPackedAttr) + textBytes;
    }

    // Gives the entries back (the array is not empty).
    void Release() noexcept;

    std::uintptr_t tagged_ = 0;
};

}  // namespace TolvexXml
