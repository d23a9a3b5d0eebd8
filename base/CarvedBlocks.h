// Memory carved one piece after the other from 64 KiB blocks instead of taking a
// heap block each: no allocator header per piece and a pointer bump per
// allocation. Every piece is given back on its own, from any thread, and may
// outlive the carver; a block is given up once the carver has moved on from it
// and every piece carved from it is gone. Freed room inside a block is not
// reused. Blocks are pages of the system's, not the host's heap; the empty blocks
// of a load, up to 32 MiB, are kept for the next loads until ReleaseCachedBlocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Platform {

class CarvedRegion;

class CarvedBlocks {
public:
    static constexpr std::size_t BlockSize = 65536;
    static constexpr std::size_t MaxObjectSize = 1024;

    CarvedBlocks() = default;
    CarvedBlocks(const CarvedBlocks&) = delete;
    CarvedBlocks& operator=(const CarvedBlocks&) = delete;
    ~CarvedBlocks() { LeaveBlock(); }

    // Room for one piece of at most MaxObjectSize bytes, 8-byte aligned. Inline:
    // a load carves a piece for every node and text.
    void* Allocate(std::size_t size) {
        size = (size + Alignment - 1) & ~(Alignment - 1);
        if (static_cast<std::size_t>(end_ - next_) < size) StartBlock();
        void* piece = next_;
        next_ += size;
        ++carved_;
        return piece;
    }
    // Gives back the room of a piece of that size, from any thread.
    static void Free(void* object, std::size_t size) noexcept;
    // Blocks in use (not empty, not cached), over all carvers.
    static std::int64_t BlocksInUse() noexcept;
    // Gives the cached empty blocks back to the system (the XML unit's end).
    static void ReleaseCachedBlocks() noexcept;

private:
    friend class CarvedFreeBatch;
    friend class CarvedRegion;
    struct Block;
    static constexpr std::size_t Alignment = 8;

    // The block a piece was carved from.
    static Block* BlockOf(void* piece) noexcept;
    // Where a block's header keeps the tag of the region that carves it (0 for none).
    static constexpr std::size_t RegionTagOffset = 8;

    // Leaves the current block for a new one.
    void StartBlock();
    void LeaveBlock() noexcept;

    Block* block_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::int32_t carved_ = 0;  // pieces carved from block_
    CarvedRegion* region_ = nullptr;  // this carver as a region, when it is one
};

// A carver whose blocks are kept together: each is tagged with the region and
// pinned while the region lives, so the region can tell its pieces from others,
// count those alive, and give every block back at once when none of them is in
// use. Ending the region drops the pins: a block then goes back with its last
// piece, as any carver's does.
class CarvedRegion : public CarvedBlocks {
public:
    CarvedRegion();
    ~CarvedRegion();

    // Whether a piece carved by any carver was carved by this region. Inline: the
    // release of a tree asks it for every object.
    bool Carved(const void* piece) const noexcept {
        const auto block = reinterpret_cast<std::uintptr_t>(piece) & ~(BlockSize - 1);
        std::uint64_t tag;
        std::memcpy(&tag, reinterpret_cast<const char*>(block) + RegionTagOffset, sizeof tag);
        return tag == tag_;
    }
    // The pieces of the region not given back yet. The carver leaves its block.
    std::int64_t LivePieces() noexcept;
    // Gives every block back whatever its count: only when no piece of the region
    // is in use any more (LivePieces says how many are still counted).
    void ReleaseWhole() noexcept;

private:
    friend class CarvedBlocks;
    // Takes a block that the carver has just started into the region.
    void Adopt(Block* block);

    const std::uint64_t tag_;
    std::vector<Block*> blocks_;
};

// Pieces given back together, as Free would give them back one by one: a run of
// pieces from one block takes one atomic step instead of one each.
class CarvedFreeBatch {
public:
    CarvedFreeBatch() = default;
    CarvedFreeBatch(const CarvedFreeBatch&) = delete;
    CarvedFreeBatch& operator=(const CarvedFreeBatch&) = delete;
    ~CarvedFreeBatch() { Flush(); }

    void Add(void* piece, std::size_t size) noexcept;

private:
    void Flush() noexcept;

    CarvedBlocks::Block* block_ = nullptr;
    std::int32_t count_ = 0;  // pieces of block_ given back but not counted yet
};

}  // namespace Platform
