// Content, values and cloning of the node kinds below the document.
#include "xml/Base64.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlDocument.h"

namespace TolvexXml {

namespace {

bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

// The text without its leading and trailing bytes 0..32.
std::string TrimBlanks(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankByte(text[first])) ++first;
    while (last > first && IsBlankByte(text[last - 1])) --last;
    return text.substr(first, last - first);
}

}  // namespace

std::string TXmlNode::JoinChildTexts(bool documentRules) {
    std::string result;
    if (!HasChildren()) return result;
    const bool joinDirectly = !documentRules && PreservesWhiteSpace();
    bool first = true;
    TXmlNodeList& children = *childList_.Get();
    for (std::int32_t i = 0; i < children.GetCount(); ++i) {
        TXmlNode* child = children.ItemAt(i);
        const std::int32_t type = child->GetNodeType();
        const bool contributes =
            type == TEXT_NODE || type == CDATA_SECTION_NODE || (type == ELEMENT_NODE && !TextExcludesElements);
        if (!contributes) continue;
        const std::string text = child->GetText();
        if (text.empty()) continue;
        if (!first && !joinDirectly && (documentRules || type != CDATA_SECTION_NODE)) result += ' ';
        result += text;
        first = false;
    }
    return result;
}

// --- element ---

TXmlElement::TXmlElement(TXmlNameTable* nameTable, std::int32_t nameId) : TXmlNode(nameTable), nameId_(nameId) {}

std::string TXmlElement::GetText() {
    if (HasChildren()) return JoinChildTexts(false);
    if (value_.IsEmpty()) return std::string();
    return ValueText(value_);
}

void TXmlElement::SetText(const std::string& text) { SetValue(Platform::Variant::FromString(text)); }

Platform::VarType TXmlElement::GetValueType() {
    if (HasChildren() || value_.IsEmpty()) return Platform::varString;
    return value_.Type();
}

Platform::Variant TXmlElement::GetValue() {
    return HasChildren() ? Platform::Variant::FromString(GetText()) : value_;
}

void TXmlElement::SetValue(const Platform::Variant& value) {
    RemoveAllChildren();
    value_ = value;
}

IXmlNode TXmlElement::CloneNode(bool deep) {
    XmlRef<TXmlElement> clone = new TXmlElement(&NameTable(), nameId_);
    CopyAttrsTo(*clone);
    if (deep) {
        // A deep copy keeps the content, whether it is held as children or as a value.
        clone->value_ = value_;
        CloneChildrenTo(*clone);
    }
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

TXmlCharacterData::TXmlCharacterData(TXmlNameTable* nameTable, std::string text)
    : TXmlNode(nameTable), text_(std::move(text)) {}

std::string TXmlCharacterData::GetText() {
    if (GetNodeType() == CDATA_SECTION_NODE || PreservesWhiteSpace()) return text_;
    return TrimBlanks(text_);
}

IXmlNode TXmlCDATASection::CloneNode(bool) { return new TXmlCDATASection(&NameTable(), StoredText()); }

IXmlNode TXmlComment::CloneNode(bool) { return new TXmlComment(&NameTable(), StoredText()); }

// --- text ---

TXmlText::TXmlText(TXmlNameTable* nameTable, Platform::Variant value) : TXmlNode(nameTable), value_(std::move(value)) {}

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
