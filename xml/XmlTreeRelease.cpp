// The release of a loaded document's tree. Normally every node goes on its own
// when its count drops to 0. A document whose tree came from one load, is whole
// and is held by nothing else does better: it checks that in one read-only walk,
// frees what the nodes hold on the heap in a second, and gives the load's blocks
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

TXmlDocument::~TXmlDocument() { ReleaseChildren(); }

TXmlLoadArena& TXmlDocument::NewLoadRegion() {
    loadRegion_ = std::make_unique<TXmlLoadArena>();
    return *loadRegion_;
}

void TXmlDocument::ReleaseChildren() {
    const std::unique_ptr<TXmlLoadArena> region = std::move(loadRegion_);
    TXmlNodeList* top = PeekChildList();
    if (!top) return;
    if (!region || top->RefCount() != 1) return RemoveAllChildren();

    // Every node and child list below the document must be one of the region's,
    // held only by its place, in the document's table; and together with their
    // attribute arrays and carved texts they must be every piece of the region
    // still alive, so that no node taken out of the tree, kept or moved
    // elsewhere, or value carrying carved bytes, is left behind.
    const TXmlNameTable& table = NameTable();
    std::int64_t pieces = 0;
    std::size_t listCount = 1;
    std::vector<TXmlNodeList*> lists;
    try {
        lists.push_back(top);
    } catch (const std::bad_alloc&) {
        return RemoveAllChildren();
    }
    while (!lists.empty()) {
        const TXmlNodeList& list = *lists.back();
        lists.pop_back();
        for (std::int32_t i = 0; i < list.count_; ++i) {
            const TXmlNode& node = *list.items_[i].Get();
            if (!HeldByTheTreeAlone(node, *region) || &node.NameTable() != &table) return RemoveAllChildren();
            pieces += 1 + node.CarvedPartPieces();
            if (TXmlNodeList* children = node.PeekChildList()) {
                if (!HeldByTheTreeAlone(*children, *region)) return RemoveAllChildren();
                pieces += 1;
                ++listCount;
                try {
                    lists.push_back(children);
                } catch (const std::bad_alloc&) {
                    return RemoveAllChildren();
                }
            }
        }
    }
    if (pieces != region->LivePieces()) return RemoveAllChildren();
    // The second walk takes no memory: once it has begun it cannot stop.
    try {
        lists.reserve(listCount);
    } catch (const std::bad_alloc&) {
        return RemoveAllChildren();
    }

    // The tree goes: the heap parts of its objects are freed, their rooms stay in
    // the blocks, which go back whole; the name table loses the nodes' references
    // together. The document's own list stays, empty, with its storage.
    std::int32_t tableReferences = 0;
    lists.push_back(top);
    while (!lists.empty()) {
        TXmlNodeList& list = *lists.back();
        lists.pop_back();
        for (std::int32_t i = 0; i < list.count_; ++i) {
            TXmlNode* node = list.items_[i].Detach();
            if (TXmlNodeList* children = node->PeekChildList()) lists.push_back(children);
            node->FreeHeapParts();
            ++tableReferences;
        }
        list.count_ = 0;
        if (&list != top && list.items_ != list.inlineItems_) delete[] list.items_;
    }
    if (tableReferences > 0) NameTable().ReleaseRefs(tableReferences);
    region->ReleaseWhole();
}

}  // namespace TolvexXml
