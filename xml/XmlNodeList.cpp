// Storage of child lists: insertion, removal and the parent links they keep.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "xml/XmlExceptions.h"
#include "xml/XmlGrowth.h"
#include "xml/XmlNode.h"

namespace TolvexXml {

namespace {

bool IsAncestorOrSelf(const TXmlNode* candidate, const TXmlNode* node) {
    for (; node; node = node->ParentNode())
        if (node == candidate) return true;
    return false;
}

}  // namespace

TXmlNodeList::TXmlNodeList(TXmlNode* owner) : owner_(owner), items_(inlineItems_) {}

TXmlNodeList::~TXmlNodeList() {
    Clear();
    DropGrownItems();
}

void TXmlNodeList::DropGrownItems() noexcept {
    if (items_ != inlineItems_) ::operator delete(items_);
}

void TXmlNodeList::CheckIndex(std::int32_t index) const {
    if (index < 0 || index >= count_)
        throw TolvexXmlException("Ошибка получения элемента списка: индекс выходит за пределы");
}

IXmlNode TXmlNodeList::GetItem(std::int32_t index) const {
    CheckIndex(index);
    return items_[index];
}

TXmlNode* TXmlNodeList::ItemAt(std::int32_t index) const {
    CheckIndex(index);
    return items_[index].Get();
}

std::int32_t TXmlNodeList::IndexOf(const TXmlNode* node) const noexcept {
    for (std::int32_t i = 0; i < count_; ++i)
        if (items_[i].Get() == node) return i;
    return -1;
}

void TXmlNodeList::Grow() {
    const std::int32_t capacity = count_ < capacity_ ? capacity_ : GrownCapacity(capacity_);
    const std::int32_t room = items_ == inlineItems_ ? InlineSlots : capacity_;
    if (count_ == room) {
        // A reference is its pointer alone: the items move as bytes, and the slots
        // they leave are forgotten, not released.
        static_assert(sizeof(IXmlNode) == sizeof(TXmlNode*));
        auto* items = static_cast<IXmlNode*>(::operator new(static_cast<std::size_t>(capacity) * sizeof(IXmlNode)));
        std::memcpy(static_cast<void*>(items), static_cast<const void*>(items_),
                    static_cast<std::size_t>(count_) * sizeof(IXmlNode));
        std::uninitialized_value_construct(items + count_, items + capacity);
        if (items_ == inlineItems_)
            for (IXmlNode& slot : inlineItems_) slot.Detach();
        else
            ::operator delete(items_);
        items_ = items;
    }
    capacity_ = capacity;
}

void TXmlNodeList::Adopt(TXmlNode* node) {
    if (!owner_) return;
    // Every ancestor of the owner has children, so a childless node needs no walk
    // up the tree: building a deep tree from the top stays linear.
    const bool cycle = node->HasChildren() ? IsAncestorOrSelf(node, owner_) : node == owner_;
    if (cycle) throw TolvexXmlException("A node cannot be inserted into itself or its descendants");
    if (node->nameTable_.Get() != owner_->nameTable_.Get()) node->MoveToNameTable(*owner_->nameTable_.Get());
    node->parent_ = owner_;
}

void TXmlNodeList::Disown(TXmlNode* node) {
    if (owner_) node->parent_ = nullptr;
}

void TXmlNodeList::Insert(TXmlNode* node, std::int32_t index) {
    if (!node) throw Platform::EInvalidCast("Invalid class typecast");
    if (index == -1) index = count_;
    if (index < 0 || index > count_)
        throw TolvexXmlException("Ошибка получения элемента списка: индекс выходит за пределы");
    Adopt(node);
    Grow();
    IXmlNode* at = items_ + index;
    std::move_backward(at, items_ + count_, items_ + count_ + 1);
    *at = node;
    ++count_;
}

void TXmlNodeList::Remove(std::int32_t index) {
    CheckIndex(index);
    IXmlNode* at = items_ + index;
    IXmlNode removed = std::move(*at);
    std::move(at + 1, items_ + count_, at);
    --count_;
    Disown(removed.Get());
}

void TXmlNodeList::Replace(std::int32_t index, TXmlNode* node) {
    CheckIndex(index);
    if (!node) throw Platform::EInvalidCast("Invalid class typecast");
    IXmlNode& slot = items_[index];
    if (slot.Get() == node) return;
    Adopt(node);
    IXmlNode old = std::exchange(slot, IXmlNode(node));
    Disown(old.Get());
}

void TXmlNodeList::Clear() {
    const std::int32_t count = std::exchange(count_, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        IXmlNode removed = std::move(items_[i]);
        Disown(removed.Get());
    }
}

void TXmlNodeList::DetachOwner() noexcept {
    for (std::int32_t i = 0; i < count_; ++i) items_[i].Get()->parent_ = nullptr;
    owner_ = nullptr;
}

}  // namespace TolvexXml
