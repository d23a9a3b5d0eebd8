#include "base/CarvedBlocks.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

#include "platform/MemoryPages.h"

#if defined(__SANITIZE_ADDRESS__)
#define TOLVEX_ARENA_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TOLVEX_ARENA_POISONING 1
#endif
#endif
#if defined(TOLVEX_ARENA_POISONING)
#include <sanitizer/asan_interface.h>
#endif

namespace Platform {

namespace {

constexpr std::size_t FirstPieceOffset = 16;

std::atomic<std::int64_t> blocksInUse{0};


// Under AddressSanitizer the room of a freed piece is marked unusable, so that a
// use after free is still reported for pieces carved from blocks; a block is
// marked usable again before it goes back to the heap.
void MarkUsable(void* memory, std::size_t size, bool usable) noexcept {
#if defined(TOLVEX_ARENA_POISONING)
    if (usable)
        ASAN_UNPOISON_MEMORY_REGION(memory, size);
    else
        ASAN_POISON_MEMORY_REGION(memory, size);
#else
    static_cast<void>(memory);
    static_cast<void>(size);
    static_cast<void>(usable);
#endif
}

// Empty blocks kept between loads, so that a steady run of calls takes no new
// pages from the system and touches no fresh ones: at most MaxCachedBlocks, the
// rest go back to the system at once. The cache holds only blocks that a load
// needed, so it never holds more than the largest load of the run; its bound
// covers the load of a 10 MB scenario (about 460 blocks). The cache lives in static storage with a
// trivial destructor (blocks may be given back while the process ends); the
// XML unit's end empties it, so an unloaded library keeps nothing.
class BlockCache {
public:
    static constexpr std::size_t MaxCachedBlocks = 512;  // 32 MiB

    void* Take() noexcept {
        Lock();
        CachedBlock* block = head_;
        if (block) {
            head_ = block->next;
            --count_;
        }
        Unlock();
        return block;
    }

    // False when the cache is full.
    bool Keep(void* memory) noexcept {
        Lock();
        const bool kept = count_ < MaxCachedBlocks;
        if (kept) {
            head_ = new (memory) CachedBlock{head_};
            ++count_;
        }
        Unlock();
        return kept;
    }

    void ReleaseAll() noexcept {
        while (void* block = Take()) {
            MarkUsable(block, CarvedBlocks::BlockSize, true);
            FreePages(block, CarvedBlocks::BlockSize);
        }
    }

private:
    struct CachedBlock {
        CachedBlock* next;
    };

    // A spin lock: held for a few instructions, and constant-initialised.
    void Lock() noexcept {
        while (locked_.test_and_set(std::memory_order_acquire)) {
        }
    }
    void Unlock() noexcept { locked_.clear(std::memory_order_release); }

    std::atomic_flag locked_ = ATOMIC_FLAG_INIT;
    CachedBlock* head_ = nullptr;
    std::size_t count_ = 0;
};

constinit BlockCache blockCache;

}  // namespace

// The head of a block. balance is the count of freed pieces, negated, until the
// load leaves the block and adds the count of pieces it carved: from then on it
// is the count of live pieces, and the one that takes it to 0 releases the block.
// While the load carves, the balance is never 1, so no free can release it early.
struct CarvedBlocks::Block {
    std::atomic<std::int32_t> balance{0};
    std::uint64_t region = 0;  // the tag of the region that carves it; 0 for none

    // Counts count pieces of the block as given back, releasing it with its last.
    static void GiveBack(Block* block, std::int32_t count) noexcept {
        if (block->balance.fetch_sub(count, std::memory_order_acq_rel) == count) Release(block);
    }

    // Into the cache, marked unusable but for the cache's link in its first word,
    // or back to the system. It is marked before the cache has it: from then on
    // another thread may take it and mark it usable for its own load.
    static void Release(Block* block) noexcept {
        block->~Block();
        MarkUsable(block, sizeof(void*), true);
        MarkUsable(reinterpret_cast<char*>(block) + sizeof(void*), BlockSize - sizeof(void*), false);
        if (!blockCache.Keep(block)) {
            MarkUsable(block, BlockSize, true);
            FreePages(block, BlockSize);
        }
        blocksInUse.fetch_sub(1, std::memory_order_relaxed);
    }
};

static_assert(sizeof(std::atomic<std::int32_t>) + sizeof(std::uint64_t) <= FirstPieceOffset);

void CarvedBlocks::StartBlock() {
    LeaveBlock();
    char* memory = static_cast<char*>(blockCache.Take());
    if (memory)
        MarkUsable(memory, BlockSize, true);
    else
        memory = static_cast<char*>(AllocatePages(BlockSize, BlockSize));
    blocksInUse.fetch_add(1, std::memory_order_relaxed);
    block_ = new (memory) Block;
    if (region_) region_->Adopt(block_);
    next_ = memory + FirstPieceOffset;
    end_ = memory + BlockSize;
}

CarvedBlocks::Block* CarvedBlocks::BlockOf(void* piece) noexcept {
    static_assert(offsetof(Block, region) == RegionTagOffset, "CarvedRegion::Carved reads the tag there");
    return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(piece) & ~(BlockSize - 1));
}

void CarvedBlocks::Free(void* object, std::size_t size) noexcept {
    MarkUsable(object, size, false);
    Block::GiveBack(BlockOf(object), 1);
}

void CarvedFreeBatch::Add(void* piece, std::size_t size) noexcept {
    MarkUsable(piece, size, false);
    CarvedBlocks::Block* block = CarvedBlocks::BlockOf(piece);
    if (block != block_) {
        Flush();
        block_ = block;
    }
    ++count_;
}

// While the carver is still in the block the balance is at most 0, so no count
// of pieces can release it early.
void CarvedFreeBatch::Flush() noexcept {
    if (count_ == 0) return;
    CarvedBlocks::Block::GiveBack(block_, count_);
    count_ = 0;
}

void CarvedBlocks::ReleaseCachedBlocks() noexcept { blockCache.ReleaseAll(); }

namespace {

std::atomic<std::uint64_t> lastRegionTag{0};

}  // namespace

CarvedRegion::CarvedRegion() : tag_(lastRegionTag.fetch_add(1, std::memory_order_relaxed) + 1) { region_ = this; }

CarvedRegion::~CarvedRegion() {
    LeaveBlock();
    for (Block* block : blocks_) Block::GiveBack(block, 1);
}

void CarvedRegion::Adopt(Block* block) {
    // Recorded before the block is used, so that a failure to record it leaves no
    // piece behind: the block then goes back at once.
    try {
        blocks_.push_back(block);
    } catch (...) {
        Block::Release(block);
        block_ = nullptr;
        throw;
    }
    block->region = tag_;
}

std::int64_t CarvedRegion::LivePieces() noexcept {
    LeaveBlock();
    std::int64_t pieces = 0;
    for (const Block* block : blocks_) pieces += block->balance.load(std::memory_order_acquire) - 1;
    return pieces;
}

void CarvedRegion::ReleaseWhole() noexcept {
    LeaveBlock();
    for (Block* block : blocks_) {
        block->balance.store(0, std::memory_order_relaxed);
        Block::Release(block);
    }
    blocks_.clear();
}

std::int64_t CarvedBlocks::BlocksInUse() noexcept { return blocksInUse.load(std::memory_order_relaxed); }

void CarvedBlocks::LeaveBlock() noexcept {
    if (!block_) return;
    // A region's block also counts the region's pin: it stays while the region does.
    const std::int32_t count = carved_ + (region_ ? 1 : 0);
    if (block_->balance.fetch_add(count, std::memory_order_acq_rel) + count == 0) Block::Release(block_);
    block_ = nullptr;
    next_ = end_ = nullptr;
    carved_ = 0;
}

}  // namespace Platform
