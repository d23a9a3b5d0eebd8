// Identity, tree structure and child insertion of TXmlNode.
#include "xml/XmlNode.h"

#include <vector>

#include "xml/TolvexXmlUnit.h"
#include "xml/ValueText.h"
#include "xml/XmlDocument.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

// The object behind a node reference; an empty reference is no node.
TXmlNode& NodeObject(const IXmlNode& node) {
    if (!node) throw Platform::EInvalidCast("Invalid class typecast");
    return *node.Get();
}

}  // namespace

void TXmlNode::FailWithoutNameTable() { throw TolvexXmlException("A node needs a name table"); }

TXmlNode::~TXmlNode() {
    // A child list still held elsewhere must not keep links to this node.
    if (childList_) childList_->DetachOwner();
}

TXmlPartUse TXmlNode::PartUse() const noexcept { return attrs_.PartUse(static_cast<std::size_t>(attrCount_)); }

void TXmlNode::FreeHeapParts() noexcept {
    attrs_.FreeHeapParts(static_cast<std::size_t>(attrCount_));
    attrCount_ = attrCapacity_ = 0;
    nameTable_.Detach();
}

std::string TXmlNode::GetNodeName() { return NameTable().IdToName(GetNameId()); }

void TXmlNode::SetNameId(std::int32_t) {}

Platform::VarType TXmlNode::GetValueType() { return Platform::varString; }

Platform::Variant TXmlNode::GetValue() { return Platform::Variant::FromString(GetText()); }

void TXmlNode::SetValue(const Platform::Variant& value) { SetText(value.ToString()); }

TXmlDocument* TXmlNode::OwnerDocument() noexcept {
    for (TXmlNode* node = this; node; node = node->parent_)
        if (auto* document = dynamic_cast<TXmlDocument*>(node)) return document;
    return nullptr;
}

IXmlDocument TXmlNode::GetOwnerDocument() { return OwnerDocument(); }

std::uint32_t TXmlNode::ValueCodePage() {
    TXmlDocument* document = OwnerDocument();
    return document ? document->GetCodePage() : 0;
}

std::string TXmlNode::ValueText(const Platform::Variant& value) {
    return ValueToXmlText(value, value.Type() == Platform::varOleStr ? ValueCodePage() : 0);
}

bool TXmlNode::PreservesWhiteSpace() {
    TXmlDocument* document = OwnerDocument();
    return document ? document->PreserveWhiteSpace : DefaultPreserveWhiteSpace;
}

TXmlNodeList* TXmlNode::GetChildList() {
    if (!childList_) childList_ = IXmlNodeList::FirstRef(new TXmlNodeList(this));
    return childList_.Get();
}

TXmlNodeList* TXmlNode::InstallChildList(TXmlNodeList* list) {
    childList_ = IXmlNodeList::FirstRef(list);
    return list;
}

IXmlNodeList TXmlNode::GetChildNodes() { return GetChildList(); }

bool TXmlNode::HasChildren() const noexcept { return childList_ && childList_->GetCount() > 0; }

void TXmlNode::AppendChild(const IXmlNode& node) { GetChildList()->Insert(&NodeObject(node), -1); }

void TXmlNode::InsertBefore(const IXmlNode& node, const IXmlNode& refNode) {
    TXmlNode& object = NodeObject(node);
    TXmlNodeList* list = GetChildList();
    list->Insert(&object, refNode ? list->IndexOf(refNode.Get()) : -1);
}

void TXmlNode::ReplaceChild(const IXmlNode& newNode, const IXmlNode& oldNode) {
    TXmlNode& newObject = NodeObject(newNode);
    TXmlNode& oldObject = NodeObject(oldNode);
    if (!childList_) return;
    const std::int32_t index = childList_->IndexOf(&oldObject);
    if (index >= 0) childList_->Replace(index, &newObject);
}

std::int32_t TXmlNode::RemoveChild(const IXmlNode& node) {
    TXmlNode& object = NodeObject(node);
    if (!childList_) return -1;
    const std::int32_t index = childList_->IndexOf(&object);
    if (index >= 0) childList_->Remove(index);
    return index;
}

void TXmlNode::RemoveAllChildren() {
    if (childList_) childList_->Clear();
}

IXmlElement TXmlNode::AppendElementById(std::int32_t nameId) {
    return AppendNew(new TXmlElement(nameTable_.Get(), nameId));
}

IXmlElement TXmlNode::AppendElement(const std::string& name) {
    return AppendElementById(NameTable().NameToId(name, false));
}

IXmlText TXmlNode::AppendText(const std::string& text) {
    return AppendNew(new TXmlText(nameTable_.Get(), Platform::Variant::FromString(text)));
}

IXmlCDATASection TXmlNode::AppendCDATA(const std::string& text) {
    return AppendNew(new TXmlCDATASection(nameTable_.Get(), text));
}

IXmlComment TXmlNode::AppendComment(const std::string& text) {
    return AppendNew(new TXmlComment(nameTable_.Get(), text));
}

IXmlProcessingInstruction TXmlNode::AppendProcessingInstructionById(std::int32_t targetId,
                                                                   const std::string& text) {
    return AppendNew(new TXmlProcessingInstruction(nameTable_.Get(), targetId, text));
}

IXmlProcessingInstruction TXmlNode::AppendProcessingInstruction(const std::string& target,
                                                               const std::string& text) {
    return AppendProcessingInstructionById(NameTable().NameToId(target, false), text);
}

// Pre-order, children in order: the clones are made in document order.
IXmlNode TXmlNode::CloneTree() {
    const IXmlNode root = CloneWithoutChildren();
    struct Pending {
        TXmlNode* source;
        TXmlNode* targetParent;
    };
    std::vector<Pending> pending;
    const auto pushChildren = [&pending](const TXmlNode& source, TXmlNode* target) {
        if (!source.childList_) return;
        for (std::int32_t i = source.childList_->GetCount() - 1; i >= 0; --i)
            pending.push_back({source.childList_->ItemAt(i), target});
    };
    pushChildren(*this, root.Get());
    while (!pending.empty()) {
        const Pending next = pending.back();
        pending.pop_back();
        const IXmlNode copy = next.source->CloneWithoutChildren();
        next.targetParent->AppendChild(copy);
        const std::int32_t type = next.source->GetNodeType();
        if (type == ELEMENT_NODE || type == DOCUMENT_NODE) pushChildren(*next.source, copy.Get());
    }
    return root;
}

void TXmlNode::MoveOwnNamesToTable(TXmlNameTable& target) {
    const IXmlNameTable source = nameTable_;
    SetNameId(target.NameToId(source->IdToName(GetNameId()), false));
    for (std::int32_t i = 0; i < attrCount_; ++i) {
        std::int32_t& nameId = attrs_.NameIdAt(static_cast<std::size_t>(i));
        nameId = target.NameToId(source->IdToName(nameId), false);
    }
    nameTable_ = &target;
}

// Pre-order, children in order, so new names join the target table in document
// order; the pending nodes wait on a stack of their own instead of the call stack.
void TXmlNode::MoveToNameTable(TXmlNameTable& target) {
    std::vector<TXmlNode*> pending{this};
    while (!pending.empty()) {
        TXmlNode* node = pending.back();
        pending.pop_back();
        if (node->nameTable_.Get() == &target) continue;
        node->MoveOwnNamesToTable(target);
        if (!node->childList_) continue;
        for (std::int32_t i = node->childList_->GetCount() - 1; i >= 0; --i)
            pending.push_back(node->childList_->ItemAt(i));
    }
}

IXmlElement TXmlNode::AsElement() { return nullptr; }
IXmlText TXmlNode::AsText() { return nullptr; }
IXmlCDATASection TXmlNode::AsCDATASection() { return nullptr; }
IXmlComment TXmlNode::AsComment() { return nullptr; }
IXmlProcessingInstruction TXmlNode::AsProcessingInstruction() { return nullptr; }

}  // namespace TolvexXml
