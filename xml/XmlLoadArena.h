// Memory for the nodes and child lists that one load makes, carved one after the
// other from 64 KiB blocks instead of taking a heap block each: no allocator
// header per object and a pointer bump per allocation. Every object still frees
// itself when its count drops to 0, and it may outlive the load and its document;
// a block goes back to the heap once the load has moved on from it and every
// object carved from it is gone. Freed space inside a block is not reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "xml/XmlNode.h"

namespace TolvexXml {

template <class Object>
class TXmlArenaObject;

class TXmlLoadArena {
public:
    static constexpr std::size_t BlockSize = 65536;
    static constexpr std::size_t MaxObjectSize = 1024;

    TXmlLoadArena() = default;
    TXmlLoadArena(const TXmlLoadArena&) = delete;
    TXmlLoadArena& operator=(const TXmlLoadArena&) = delete;
    ~TXmlLoadArena() { LeaveBlock(); }

    // Room for one object of at most MaxObjectSize bytes, 8-byte aligned.
    void* Allocate(std::size_t size);
    // Gives back the room of an object of that size, from any thread.
    static void Free(void* object, std::size_t size) noexcept;
    // Blocks taken from the heap and not given back yet, over all arenas.
    static std::int64_t BlocksInUse() noexcept;

    // Makes a node of kind Node (made in the list owner's name table) in the arena
    // and appends it to the list; the list holds it.
    template <class Node, class... Args>
    Node* Append(TXmlNodeList& list, Args&&... args);
    // The child list of a node made by this load, made in the arena when the node
    // has none yet.
    TXmlNodeList& ChildListOf(TXmlNode& node);

private:
    struct Block;

    void LeaveBlock() noexcept;

    Block* block_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::int32_t carved_ = 0;  // objects carved from block_
};

// A node kind or a child list carved from a load arena. Deleting it, through a
// pointer of any of its bases, gives its room back to its block.
template <class Object>
class TXmlArenaObject final : public Object {
public:
    using Object::Object;

    static void* operator new(std::size_t size, TXmlLoadArena& arena) {
        static_assert(sizeof(TXmlArenaObject) <= TXmlLoadArena::MaxObjectSize && alignof(TXmlArenaObject) <= 8);
        return arena.Allocate(size);
    }
    // Called when the constructor fails.
    static void operator delete(void* object, TXmlLoadArena&) noexcept {
        TXmlLoadArena::Free(object, sizeof(TXmlArenaObject));
    }
    static void operator delete(void* object, std::size_t size) noexcept { TXmlLoadArena::Free(object, size); }
};

template <class Node, class... Args>
Node* TXmlLoadArena::Append(TXmlNodeList& list, Args&&... args) {
    Node* node = new (*this) TXmlArenaObject<Node>(std::forward<Args>(args)...);
    list.AppendNew(IXmlNode::FirstRef(node));
    return node;
}

inline TXmlNodeList& TXmlLoadArena::ChildListOf(TXmlNode& node) {
    if (TXmlNodeList* list = node.PeekChildList()) return *list;
    return *node.InstallChildList(new (*this) TXmlArenaObject<TXmlNodeList>(&node));
}

}  // namespace TolvexXml
