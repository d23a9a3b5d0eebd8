#include "xml/XmlLoadArena.h"

#include <atomic>
#include <cstdint>

#include "platform/AlignedMemory.h"

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

namespace TolvexXml {

namespace {

constexpr std::size_t Alignment = 8;
constexpr std::size_t FirstObjectOffset = 8;

std::atomic<std::int64_t> blocksInUse{0};

// Under AddressSanitizer the room of a freed object is marked unusable, so that a
// use after free is still reported for objects carved from blocks; a block is
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

}  // namespace

// The head of a block. balance is the count of freed objects, negated, until the
// load leaves the block and adds the count of objects it carved: from then on it
// is the count of live objects, and the one that takes it to 0 releases the block.
// While the load carves, the balance is never 1, so no free can release it early.
struct TXmlLoadArena::Block {
    std::atomic<std::int32_t> balance{0};

    static void Release(Block* block) noexcept {
        block->~Block();
        MarkUsable(block, BlockSize, true);
        Platform::FreeAligned(block);
        blocksInUse.fetch_sub(1, std::memory_order_relaxed);
    }
};

static_assert(sizeof(std::atomic<std::int32_t>) <= FirstObjectOffset);

void* TXmlLoadArena::Allocate(std::size_t size) {
    size = (size + Alignment - 1) & ~(Alignment - 1);
    if (static_cast<std::size_t>(end_ - next_) < size) {
        LeaveBlock();
        char* memory = static_cast<char*>(Platform::AllocateAligned(BlockSize, BlockSize));
        blocksInUse.fetch_add(1, std::memory_order_relaxed);
        block_ = new (memory) Block;
        next_ = memory + FirstObjectOffset;
        end_ = memory + BlockSize;
    }
    void* object = next_;
    next_ += size;
    ++carved_;
    return object;
}

void TXmlLoadArena::Free(void* object, std::size_t size) noexcept {
    MarkUsable(object, size, false);
    auto* block = reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(object) & ~(BlockSize - 1));
    if (block->balance.fetch_sub(1, std::memory_order_acq_rel) == 1) Block::Release(block);
}

std::int64_t TXmlLoadArena::BlocksInUse() noexcept { return blocksInUse.load(std::memory_order_relaxed); }

void TXmlLoadArena::LeaveBlock() noexcept {
    if (!block_) return;
    if (block_->balance.fetch_add(carved_, std::memory_order_acq_rel) + carved_ == 0) Block::Release(block_);
    block_ = nullptr;
    next_ = end_ = nullptr;
    carved_ = 0;
}

}  // namespace TolvexXml
