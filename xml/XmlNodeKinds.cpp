// Content, values and cloning of the node kinds below the document.
#include <vector>

#include "xml/Base64.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlDocument.h"

namespace TolvexXml {

namespace {

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

// The text without its leading and trailing bytes 0..32.
std::string TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankByte(text[first])) ++first;
    while (last > first && IsBlankByte(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

// The parts of a node that keeps its text in a string, which may lie on the heap.
TXmlPartUse WithTextOnHeap(TXmlPartUse use) {
    use.onHeap = true;
    return use;
}

// The parts of a node with a text value: carved bytes are one more piece of
// the load's blocks; any other value may hold heap memory.
TXmlPartUse WithTextValue(TXmlPartUse use, const Platform::Variant& value) {
    if (value.IsCarvedText())
        ++use.carvedPieces;
    else
        use.onHeap = true;
    return use;
}

}  // namespace

namespace {

// The join of one node's child texts while it is being collected.
struct TTextJoin {
    TTextJoin(TXmlNode* joined, bool withDocumentRules, bool preserving)
        : node(joined), documentRules(withDocumentRules), preserveWhiteSpace(preserving) {}

    TXmlNode* node;
    bool documentRules;
    bool preserveWhiteSpace;
    std::string result;
    bool first = true;
    std::int32_t nextChild = 0;

    void Add(const std::string& text, std::int32_t type) {
        if (text.empty()) return;
        const bool joinDirectly = !documentRules && preserveWhiteSpace;
        if (!first && !joinDirectly && (documentRules || type != CDATA_SECTION_NODE)) result += ' ';
        result += text;
        first = false;
    }
};

}  // namespace

// A child element's text is the join of its own children (element rules) when it
// has any. Those joins wait on a stack of their own, so counting child elements
// in (TextExcludesElements false) works for trees of any depth.
std::string TXmlNode::JoinChildTexts(bool documentRules) {
    if (!HasChildren()) return std::string();
    std::vector<TTextJoin> open;
    open.emplace_back(this, documentRules, PreservesWhiteSpace());
    for (;;) {
        TTextJoin& join = open.back();
        const TXmlNodeList& children = *join.node->childList_.Get();
        if (join.nextChild == children.GetCount()) {
            std::string text = std::move(join.result);
            open.pop_back();
            if (open.empty()) return text;
            open.back().Add(text, ELEMENT_NODE);
            continue;
        }
        TXmlNode* child = children.ItemAt(join.nextChild++);
        const std::int32_t type = child->GetNodeType();
        const bool contributes =
            type == TEXT_NODE || type == CDATA_SECTION_NODE || (type == ELEMENT_NODE && !TextExcludesElements);
        if (!contributes) continue;
        if (type == ELEMENT_NODE && child->HasChildren()) {
            // The child's owner document is this node's, unless it hangs elsewhere.
            const bool preserve =
                child->ParentNode() == join.node ? join.preserveWhiteSpace : child->PreservesWhiteSpace();
            open.emplace_back(child, false, preserve);
            continue;
        }
        join.Add(child->GetText(), type);
    }
}

// --- element ---

TXmlPartUse TXmlElement::PartUse() const noexcept {
    TXmlPartUse use = TXmlNode::PartUse();
    if (value_) {  // the value's box is on the heap
        use.carvedPieces += value_->IsCarvedText() ? 1 : 0;
        use.onHeap = true;
    }
    return use;
}

void TXmlElement::FreeHeapParts() noexcept {
    TXmlNode::FreeHeapParts();
    if (value_) value_->DropLeavingCarvedBytes();
    value_.reset();
}

const Platform::Variant& TXmlElement::HeldValue() const noexcept {
    static const Platform::Variant noValue;
    return value_ ? *value_ : noValue;
}

void TXmlElement::HoldValue(const Platform::Variant& value) {
    if (value.IsEmpty())
        value_.reset();
    else if (value_)
        *value_ = value;
    else
        value_ = std::make_unique<Platform::Variant>(value);
}

std::string TXmlElement::GetText() {
    if (HasChildren()) return JoinChildTexts(false);
    if (!value_) return std::string();
    return ValueText(*value_);
}

void TXmlElement::SetText(const std::string& text) { SetValue(Platform::Variant::FromString(text)); }

Platform::VarType TXmlElement::GetValueType() {
    if (HasChildren() || !value_) return Platform::varString;
    return value_->Type();
}

Platform::Variant TXmlElement::GetValue() {
    return HasChildren() ? Platform::Variant::FromString(GetText()) : HeldValue();
}

void TXmlElement::SetValue(const Platform::Variant& value) {
    RemoveAllChildren();
    HoldValue(value);
}

IXmlNode TXmlElement::CloneNode(bool deep) {
    if (deep) return CloneTree();
    XmlRef<TXmlElement> clone = new TXmlElement(&NameTable(), nameId_);
    CopyAttrsTo(*clone);
    return clone;
}

IXmlNode TXmlElement::CloneWithoutChildren() {
    XmlRef<TXmlElement> clone = new TXmlElement(&NameTable(), nameId_);
    CopyAttrsTo(*clone);
    clone->HoldValue(HeldValue());
    return clone;
}

void TXmlElement::RemoveTextChildren() {
    TXmlNodeList* children = PeekChildList();
    if (!children) return;
    for (std::int32_t i = children->GetCount() - 1; i >= 0; --i) {
        const std::int32_t type = children->ItemAt(i)->GetNodeType();
        if (type == TEXT_NODE || type == CDATA_SECTION_NODE) children->Remove(i);
    }
}

void TXmlElement::ReplaceTextByBinaryData(const void* bytes, std::size_t count, std::int32_t maxLine) {
    IXmlText text = new TXmlText(&NameTable(), Platform::Variant::FromString(EncodeBase64(bytes, count, maxLine)));
    text->RawText = true;
    RemoveTextChildren();
    AppendChild(text);
}

std::string TXmlElement::GetTextAsBinaryData() { return DecodeBase64(GetText()); }

// --- character data ---

std::string TXmlCharacterData::GetText() {
    if (GetNodeType() == CDATA_SECTION_NODE || PreservesWhiteSpace()) return std::string(StoredText());
    return TrimBlanks(StoredText());
}

IXmlNode TXmlCDATASection::CloneNode(bool) {
    return new TXmlCDATASection(&NameTable(), std::string(StoredText()));
}

IXmlNode TXmlComment::CloneNode(bool) { return new TXmlComment(&NameTable(), std::string(StoredText())); }

// --- text ---

TXmlPartUse TXmlText::PartUse() const noexcept { return WithTextValue(TXmlNode::PartUse(), value_); }

void TXmlText::FreeHeapParts() noexcept {
    TXmlNode::FreeHeapParts();
    value_.DropLeavingCarvedBytes();
}

TXmlPartUse TXmlCharacterData::PartUse() const noexcept { return WithTextValue(TXmlNode::PartUse(), text_); }

void TXmlCharacterData::FreeHeapParts() noexcept {
    TXmlNode::FreeHeapParts();
    text_.DropLeavingCarvedBytes();
}

TXmlPartUse TXmlProcessingInstruction::PartUse() const noexcept { return WithTextOnHeap(TXmlNode::PartUse()); }

void TXmlProcessingInstruction::FreeHeapParts() noexcept {
    TXmlNode::FreeHeapParts();
    std::string().swap(text_);
}

std::string TXmlText::GetText() { return ValueText(value_); }

void TXmlText::SetText(const std::string& text) { SetValue(Platform::Variant::FromString(text)); }

void TXmlText::SetValue(const Platform::Variant& value) {
    value_ = value;
    RawText = false;
}

IXmlNode TXmlText::CloneNode(bool) { return new TXmlText(&NameTable(), value_); }

// --- processing instruction ---

TXmlProcessingInstruction::TXmlProcessingInstruction(TXmlNameTable* nameTable, std::int32_t targetId,
                                                     std::string text)
    : TXmlNode(nameTable), targetId_(targetId), text_(std::move(text)) {}

IXmlNode TXmlProcessingInstruction::CloneNode(bool) {
    XmlRef<TXmlProcessingInstruction> clone = new TXmlProcessingInstruction(&NameTable(), targetId_, text_);
    // The pseudo-attributes (version, encoding of a declaration) belong to the copy.
    CopyAttrsTo(*clone);
    return clone;
}

}  // namespace TolvexXml
