// The release of a loaded document's tree. Normally every node goes on its own
// when its count drops to 0. A document whose tree came from one load, is whole
// and is held by nothing else does better: it checks that in one read-only walk,
// which also notes what lies on the heap, frees that, and gives the load's blocks
// back at once, without a count, a destructor or a piece's release per object.
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "xml/XmlDocument.h"
#include "xml/XmlLoadArena.h"

namespace TolvexXml {

namespace {

// Whether a carved object of the region is held by its place in the tree alone.
bool HeldByTheTreeAlone(const TXmlBase& object, const TXmlLoadArena& region) {
    const void* piece = object.CarvedPiece();
    return piece && region.Carved(piece) && object.RefCount() == 1;
}

}  // namespace

struct TXmlDocument::LoadedTreeParts {
    std::int64_t pieces = 0;                // the region's pieces the tree takes
    std::int32_t nodeCount = 0;             // the name table references the nodes hold
    std::vector<TXmlNode*> heapHolders;     // nodes with parts on the heap
    std::vector<TXmlNodeList*> grownLists;  // lists with arrays of their own
};

TXmlDocument::~TXmlDocument() { ReleaseChildren(); }

// Every node and child list below the document must be one of the region's, held
// only by its place, in the document's table; and together with their attribute
// arrays and carved texts they must be every piece of the region still alive, so
// that no node taken out of the tree, kept or moved elsewhere, or value carrying
// carved bytes, is left behind (the caller compares the pieces). The walk goes in
// document order, the order the load carved the objects in, so that it reads the
// blocks from front to back: with a tree too large for the caches, that order is
// what keeps the walk from waiting on memory. It is a function of its own so that
// the hot loop keeps its state in registers, away from the release's other paths.
bool TXmlDocument::TallyLoadedTree(const TXmlNodeList& top, const TXmlLoadArena& region, LoadedTreeParts& parts) const {
    const TXmlNameTable& table = NameTable();
    struct Place {
        const TXmlNodeList* list;
        std::int32_t next;  // the index of the next item to visit
    };
    std::int64_t pieces = 0;
    std::int32_t nodeCount = 0;
    std::vector<Place> places;
    places.push_back(Place{&top, 0});
    while (!places.empty()) {
        Place& place = places.back();
        if (place.next == place.list->count_) {
            nodeCount += place.list->count_;
            places.pop_back();
            continue;
        }
        TXmlNode& node = *place.list->items_[place.next++].Get();
        if (!HeldByTheTreeAlone(node, region) || &node.NameTable() != &table) return false;
        const TXmlPartUse use = node.PartUse();
        pieces += 1 + use.carvedPieces;
        if (use.onHeap) parts.heapHolders.push_back(&node);
        if (TXmlNodeList* children = node.PeekChildList()) {
            if (!HeldByTheTreeAlone(*children, region)) return false;
            pieces += 1;
            if (children->items_ != children->inlineItems_) parts.grownLists.push_back(children);
            places.push_back(Place{children, 0});
        }
    }
    parts.pieces = pieces;
    parts.nodeCount = nodeCount;
    return true;
}

TXmlLoadArena& TXmlDocument::NewLoadRegion() {
    loadRegion_ = std::make_unique<TXmlLoadArena>();
    return *loadRegion_;
}

void TXmlDocument::ReleaseChildren() {
    const std::unique_ptr<TXmlLoadArena> region = std::move(loadRegion_);
    TXmlNodeList* top = PeekChildList();
    if (!top) return;
    if (!region || top->RefCount() != 1) return RemoveAllChildren();

    LoadedTreeParts parts;
    try {
        if (!TallyLoadedTree(*top, *region, parts) || parts.pieces != region->LivePieces()) return RemoveAllChildren();
    } catch (const std::bad_alloc&) {
        return RemoveAllChildren();
    }

    // The tree goes: the heap parts are freed, the rooms of all objects stay in
    // the blocks, which go back whole; the name table loses the nodes' references
    // together. The references in grown arrays are let go uncounted with the
    // arrays. The document's own list stays, empty, with its storage.
    for (TXmlNode* node : parts.heapHolders) node->FreeHeapParts();
    for (TXmlNodeList* list : parts.grownLists) list->DropGrownItems();
    for (std::int32_t i = 0; i < top->count_; ++i) top->items_[i].Detach();
    top->count_ = 0;
    if (parts.nodeCount > 0) NameTable().ReleaseRefs(parts.nodeCount);
    region->ReleaseWhole();
}

}  // namespace TolvexXml
