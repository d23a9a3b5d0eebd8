// Finding children by name id, by simple name and by path.
#include <string_view>

#include "base/Exception.h"
#include "base/Format.h"
#include "xml/XmlDocument.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Not empty; a letter, digit or "_" first; then letters, digits and "_-.:&".
bool IsSimpleName(std::string_view text) {
    if (text.empty()) return false;
    if (!IsAsciiLetterOrDigit(text[0]) && text[0] != '_') return false;
    for (char c : text.substr(1))
        if (!IsAsciiLetterOrDigit(c) && std::string_view("_-.:&").find(c) == std::string_view::npos) return false;
    return true;
}

bool AttrValueEquals(const TXmlAttrValue& storedValue, const Platform::Variant& wanted) {
    if (!storedValue.Typed()) return !wanted.IsEmpty() && !wanted.IsNull() && storedValue.ToVariant().Equals(wanted);
    const Platform::Variant& stored = *storedValue.Typed();
    if (stored.IsEmpty() || wanted.IsEmpty()) return stored.IsEmpty() && wanted.IsEmpty();
    if (stored.IsNull() || wanted.IsNull()) return stored.IsNull() && wanted.IsNull();
    return stored.Equals(wanted);
}

}  // namespace

TXmlNode* TXmlNode::FindChildById(std::int32_t nameId) const noexcept {
    if (!childList_) return nullptr;
    for (std::int32_t i = 0; i < childList_->GetCount(); ++i) {
        TXmlNode* child = childList_->ItemAt(i);
        if (child->GetNameId() == nameId) return child;
    }
    return nullptr;
}

std::string TXmlNode::GetChildTextById(std::int32_t nameId, const std::string& defaultText) {
    TXmlNode* child = FindChildById(nameId);
    return child ? child->GetText() : defaultText;
}

std::string TXmlNode::GetChildText(const std::string& name, const std::string& defaultText) {
    return GetChildTextById(NameTable().NameToId(name, true), defaultText);
}

void TXmlNode::SetChildTextById(std::int32_t nameId, const std::string& text) {
    TXmlNode* child = FindChildById(nameId);
    if (child) {
        child->SetText(text);
    } else {
        AppendElementById(nameId)->SetText(text);
    }
}

void TXmlNode::SetChildText(const std::string& name, const std::string& text) {
    SetChildTextById(NameTable().NameToId(name, false), text);
}

IXmlNode TXmlNode::NeedChildById(std::int32_t nameId) {
    TXmlNode* child = FindChildById(nameId);
    if (!child)
        throw NeedChildException(
            Platform::Format("Error: child element \"%s\" not found.", NameTable().IdToName(nameId).c_str()));
    return child;
}

IXmlNode TXmlNode::NeedChild(const std::string& name) { return NeedChildById(NameTable().NameToId(name, true)); }

IXmlNode TXmlNode::EnsureChildById(std::int32_t nameId) {
    if (TXmlNode* child = FindChildById(nameId)) return child;
    return AppendElementById(nameId);
}

IXmlNode TXmlNode::EnsureChild(const std::string& name) {
    return EnsureChildById(NameTable().NameToId(name, true));
}

IXmlNodeList TXmlNode::SelectNodes(const std::string& name) {
    if (!IsSimpleName(name)) throw TolvexXmlException("Select node by expression is not implemented in TolvexXml");
    IXmlNodeList selected = new TXmlNodeList(nullptr);
    const std::int32_t nameId = NameTable().NameToId(name, true);
    TXmlNodeList* children = GetChildList();
    for (std::int32_t i = 0; i < children->GetCount(); ++i) {
        TXmlNode* child = children->ItemAt(i);
        if (child->GetNodeType() == ELEMENT_NODE && child->GetNameId() == nameId) selected->Insert(child, -1);
    }
    return selected;
}

IXmlNode TXmlNode::SelectElement(const std::string& nameOrPath) {
    if (IsSimpleName(nameOrPath)) {
        const std::int32_t nameId = NameTable().NameToId(nameOrPath, true);
        TXmlNodeList* children = GetChildList();
        for (std::int32_t i = 0; i < children->GetCount(); ++i) {
            TXmlNode* child = children->ItemAt(i);
            if (child->GetNodeType() == ELEMENT_NODE && child->GetNameId() == nameId) return child;
        }
        return nullptr;
    }
    // A path: segments between "/" select element children one level each; an
    // empty segment stays on the current node, any other segment that is not a
    // simple name ends the walk without a result.
    IXmlNode current = this;
    std::string_view rest = nameOrPath;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (segment.empty()) continue;
        if (!IsSimpleName(segment)) return nullptr;
        current = current->SelectElement(std::string(segment));
        if (!current) return nullptr;
    }
    return current;
}

IXmlElement TXmlNode::FindElement(const std::string& elementName, const std::string& attrName,
                                  const Platform::Variant& value) {
    if (!childList_) return nullptr;
    const std::int32_t elementId = NameTable().NameToId(elementName, true);
    const std::int32_t attrId = NameTable().NameToId(attrName, true);
    for (std::int32_t i = 0; i < childList_->GetCount(); ++i) {
        TXmlNode* child = childList_->ItemAt(i);
        if (child->GetNodeType() != ELEMENT_NODE || child->GetNameId() != elementId) continue;
        const std::int32_t attrIndex = child->FindAttr(attrId);
        if (attrIndex < 0) continue;
        try {
            if (AttrValueEquals(child->AttrValueAt(attrIndex), value))
                return child->AsElement();
        } catch (const Platform::Exception&) {
            // A value that cannot be compared is no match.
        }
    }
    return nullptr;
}

}  // namespace TolvexXml
