// Memory for the nodes, child lists and texts that one load makes, carved from a
// region of blocks (base/CarvedBlocks.h) that the loaded document keeps. Every
// object frees itself when its count drops to 0 and may outlive the load and its
// document; a document whose tree is whole and held by nothing else gives the
// region back at once instead (TXmlDocument::ReleaseChildren).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "base/CarvedBlocks.h"
#include "xml/XmlNode.h"

namespace TolvexXml {

template <class Object>
class TXmlArenaObject;

class TXmlLoadArena : public Platform::CarvedRegion {
public:
    // Makes a node of kind Node (made in the list owner's name table) in the arena
    // and appends it to the list; the list holds it.
    template <class Node, class... Args>
    Node* Append(TXmlNodeList& list, Args&&... args);
    // The child list of a node made by this load, made in the arena when the node
    // has none yet.
    TXmlNodeList& ChildListOf(TXmlNode& node);
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

    const void* CarvedPiece() const noexcept override { return this; }
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
