// The attributes of a node: storage, lookup and the typed accessors.
#include <algorithm>
#include <cstdio>
#include <new>

#include "base/BoolText.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/IntegerText.h"
#include "base/VariantConvert.h"
#include "platform/LocaleCompare.h"
#include "xml/ValueText.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlGrowth.h"
#include "xml/XmlNodeKinds.h"

namespace TolvexXml {

namespace {

constexpr const char* AttributeNotFound = "Attribute \"%s\" is not found";

std::string AttrNotFoundMessage(const std::string& name) {
    return Platform::Format(AttributeNotFound, name.c_str());
}

}  // namespace

// --- storage ---

std::int32_t TXmlNode::FindAttr(std::int32_t nameId) const noexcept {
    if (attrs_.IsPacked()) {
        const TXmlPackedAttr* entries = attrs_.PackedEntries();
        for (std::int32_t i = 0; i < attrCount_; ++i)
            if (entries[i].NameId == nameId) return i;
        return -1;
    }
    for (std::int32_t i = 0; i < attrCount_; ++i)
        if (attrs_[static_cast<std::size_t>(i)].NameId == nameId) return i;
    return -1;
}

TXmlAttrRef TXmlNode::GetAttrData(std::int32_t index) const {
    if (index < 0 || index >= attrCount_)
        throw TolvexXmlException("Ошибка получения элемента списка: индекс выходит за пределы");
    const auto at = static_cast<std::size_t>(index);
    return TXmlAttrRef{attrs_.NameIdAt(at), attrs_.ValueAt(at)};
}

TXmlAttrArray::TXmlAttrArray(std::size_t capacity)
    : tagged_(reinterpret_cast<std::uintptr_t>(new TXmlAttrData[capacity]())) {}

TXmlAttrArray::TXmlAttrArray(Platform::CarvedBlocks& blocks, TXmlAttrData* entries, std::size_t count) {
    auto* head = new (blocks.Allocate(sizeof(CarvedHead) + count * sizeof(TXmlAttrData))) CarvedHead{count};
    auto* carved = reinterpret_cast<TXmlAttrData*>(head + 1);
    for (std::size_t i = 0; i < count; ++i) new (carved + i) TXmlAttrData(std::move(entries[i]));
    tagged_ = reinterpret_cast<std::uintptr_t>(carved) | CarvedTag;
}

void TXmlAttrArray::Release() noexcept {
    switch (tagged_ & FormBits) {
        case PackedTag: {
            PackedHead* head = reinterpret_cast<PackedHead*>(PackedEntries()) - 1;
            Platform::CarvedBlocks::Free(head, PackedSize(head->count, head->textBytes));
            break;
        }
        case CarvedTag: {
            // The texts of a loaded node were carved next to its array, mostly from
            // one block: they are given back together.
            TXmlAttrData* entries = get();
            CarvedHead* head = reinterpret_cast<CarvedHead*>(entries) - 1;
            const std::size_t count = head->count;
            Platform::CarvedFreeBatch batch;
            for (std::size_t i = 0; i < count; ++i) {
                entries[i].Value.GiveCarvedTextTo(batch);
                entries[i].~TXmlAttrData();
            }
            batch.Add(head, sizeof(CarvedHead) + count * sizeof(TXmlAttrData));
            break;
        }
        default: delete[] get();
    }
    tagged_ = 0;
}

TXmlPartUse TXmlAttrArray::TypedPartUse(std::size_t count) const noexcept {
    // Typed entries: the array, or some of their values, may be on the heap.
    TXmlPartUse use{(tagged_ & FormBits) == CarvedTag ? 1 : 0, true};
    for (std::size_t i = 0; i < count; ++i) use.carvedPieces += get()[i].Value.IsCarvedText() ? 1 : 0;
    return use;
}

void TXmlAttrArray::FreeHeapParts(std::size_t count) noexcept {
    if ((tagged_ & FormBits) != PackedTag && tagged_) {
        for (std::size_t i = 0; i < count; ++i) get()[i].Value.DropLeavingCarvedBytes();
        if ((tagged_ & FormBits) == 0) delete[] get();
    }
    tagged_ = 0;
}

void TXmlNode::SetAttrCapacity(std::int32_t capacity) {
    MakeAttrsTyped();
    TXmlAttrArray attrs;
    if (capacity > 0) {
        attrs = TXmlAttrArray(static_cast<std::size_t>(capacity));
        std::move(attrs_.get(), attrs_.get() + attrCount_, attrs.get());
    }
    attrs_ = std::move(attrs);
    attrCapacity_ = capacity;
}

void TXmlNode::MakeAttrsTyped() {
    if (!attrs_.IsPacked()) return;
    TXmlAttrArray typed(static_cast<std::size_t>(attrCount_));
    for (std::size_t i = 0; i < static_cast<std::size_t>(attrCount_); ++i)
        typed[i] = TXmlAttrData{attrs_.ValueAt(i).ToVariant(), attrs_.NameIdAt(i)};
    attrs_ = std::move(typed);
    attrCapacity_ = attrCount_;
}

void TXmlNode::TakeLoadedAttrs(Platform::CarvedBlocks* blocks, TXmlAttrData* entries, std::int32_t count) {
    if (count == 0) return;
    const auto size = static_cast<std::size_t>(count);
    if (blocks && size <= TXmlAttrArray::MaxCarvedCount) {
        attrs_ = TXmlAttrArray(*blocks, entries, size);
    } else {
        attrs_ = TXmlAttrArray(size);
        std::move(entries, entries + size, attrs_.get());
    }
    attrCount_ = attrCapacity_ = count;
}

void TXmlNode::CopyAttrsTo(TXmlNode& target) const {
    target.RemoveAllAttrs();
    target.SetAttrCapacity(attrCount_);
    for (std::size_t i = 0; i < static_cast<std::size_t>(attrCount_); ++i)
        target.attrs_[i] = TXmlAttrData{attrs_.ValueAt(i).ToVariant(), attrs_.NameIdAt(i)};
    target.attrCount_ = attrCount_;
}

std::string TXmlNode::GetAttrName(std::int32_t index) const { return NameTable().IdToName(GetAttrNameId(index)); }

void TXmlNode::SetAttrValueById(std::int32_t nameId, const Platform::Variant& value) {
    MakeAttrsTyped();
    const std::int32_t index = FindAttr(nameId);
    if (index >= 0) {
        attrs_[static_cast<std::size_t>(index)].Value = value;
        return;
    }
    if (attrCount_ == attrCapacity_) SetAttrCapacity(GrownCapacity(attrCapacity_));
    attrs_[static_cast<std::size_t>(attrCount_)] = TXmlAttrData{value, nameId};
    ++attrCount_;
}

void TXmlNode::SetAttrValue(const std::string& name, const Platform::Variant& value) {
    SetAttrValueById(NameTable().NameToId(name, false), value);
}

void TXmlNode::RemoveAttrById(std::int32_t nameId) {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return;
    MakeAttrsTyped();
    for (std::int32_t i = index; i + 1 < attrCount_; ++i)
        attrs_[static_cast<std::size_t>(i)] = std::move(attrs_[static_cast<std::size_t>(i) + 1]);
    --attrCount_;
    attrs_[static_cast<std::size_t>(attrCount_)] = TXmlAttrData{};
}

void TXmlNode::RemoveAttr(const std::string& name) { RemoveAttrById(NameTable().NameToId(name, false)); }

void TXmlNode::RemoveAllAttrs() {
    MakeAttrsTyped();
    for (std::int32_t i = 0; i < attrCount_; ++i) attrs_[static_cast<std::size_t>(i)] = TXmlAttrData{};
    attrCount_ = 0;
}

bool TXmlNode::AttrExistsById(std::int32_t nameId) const noexcept { return FindAttr(nameId) >= 0; }

bool TXmlNode::AttrExists(const std::string& name) { return AttrExistsById(NameTable().NameToId(name, true)); }

Platform::VarType TXmlNode::GetAttrTypeById(std::int32_t nameId) const noexcept {
    const std::int32_t index = FindAttr(nameId);
    return index >= 0 ? AttrValueAt(index).Type() : Platform::varString;
}

Platform::VarType TXmlNode::GetAttrType(const std::string& name) {
    return GetAttrTypeById(NameTable().NameToId(name, true));
}

Platform::Variant TXmlNode::GetAttrValueById(std::int32_t nameId, const Platform::Variant& defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    return index >= 0 ? AttrValueAt(index).ToVariant() : defaultValue;
}

Platform::Variant TXmlNode::GetAttrValue(const std::string& name, const Platform::Variant& defaultValue) {
    return GetAttrValueById(NameTable().NameToId(name, true), defaultValue);
}

// --- text ---

std::string TXmlNode::NeedAttrById(std::int32_t nameId) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) throw NeedAttrException(AttrNotFoundMessage(NameTable().IdToName(nameId)));
    return AttrValueAt(index).ToString();
}

std::string TXmlNode::NeedAttr(const std::string& name) { return NeedAttrById(NameTable().NameToId(name, true)); }

std::string TXmlNode::GetAttrTextById(std::int32_t nameId, const std::string& defaultText) const {
    const std::int32_t index = FindAttr(nameId);
    return index >= 0 ? AttrValueAt(index).ToString() : defaultText;
}

std::string TXmlNode::GetAttrText(const std::string& name, const std::string& defaultText) {
    return GetAttrTextById(NameTable().NameToId(name, true), defaultText);
}

void TXmlNode::SetAttrTextById(std::int32_t nameId, const std::string& text) {
    SetAttrValueById(nameId, Platform::Variant::FromString(text));
}

void TXmlNode::SetAttrText(const std::string& name, const std::string& text) {
    SetAttrTextById(NameTable().NameToId(name, false), text);
}

// --- Boolean ---

bool TXmlNode::GetAttrBoolById(std::int32_t nameId, bool defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return defaultValue;
    const TXmlAttrValue value = AttrValueAt(index);
    if (!value.IsText()) return value.Typed()->ToBool();
    const std::optional<bool> result = Platform::BoolFromText(value.ToString());
    if (!result) Platform::RaiseVariantTypeCast(value.Type(), Platform::varBoolean);
    return *result;
}

bool TXmlNode::GetAttrBool(const std::string& name, bool defaultValue) {
    return GetAttrBoolById(NameTable().NameToId(name, true), defaultValue);
}

void TXmlNode::SetAttrBoolById(std::int32_t nameId, bool value) {
    SetAttrValueById(nameId, Platform::Variant::FromBool(value));
}

void TXmlNode::SetAttrBool(const std::string& name, bool value) {
    SetAttrBoolById(NameTable().NameToId(name, false), value);
}

// --- 64-bit integer ---

std::int64_t TXmlNode::GetAttrInt64ById(std::int32_t nameId, std::int64_t defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return defaultValue;
    const TXmlAttrValue value = AttrValueAt(index);
    // A text is read in place; other kinds take their text form first.
    if (value.Type() == Platform::varString) return Platform::StrToInt64(value.RawString());
    return Platform::StrToInt64(value.ToString());
}

std::int64_t TXmlNode::GetAttrInt64(const std::string& name, std::int64_t defaultValue) {
    return GetNamedAttrInt64(NameTable().NameToId(name, true), name, defaultValue);
}

std::int64_t TXmlNode::GetNamedAttrInt64(std::int32_t nameId, const std::string& name,
                                         std::int64_t defaultValue) const {
    try {
        return GetAttrInt64ById(nameId, defaultValue);
    } catch (const Platform::Exception&) {
        throw TolvexXmlException(Platform::Format("Bad integer attribute %s value: \"%s\"", name.c_str(),
                                                  GetAttrTextById(nameId, std::string()).c_str()));
    }
}

void TXmlNode::SetAttrInt64ById(std::int32_t nameId, std::int64_t value) {
    SetAttrTextById(nameId, std::to_string(value));
}

void TXmlNode::SetAttrInt64(const std::string& name, std::int64_t value) {
    SetAttrInt64ById(NameTable().NameToId(name, false), value);
}

// --- date-time and floating point ---

double TXmlNode::GetAttrDateTimeById(std::int32_t nameId, double defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return defaultValue;
    const TXmlAttrValue value = AttrValueAt(index);
    return value.IsText() ? XmlTextToDateTime(value.ToString()) : value.Typed()->ToDateTime();
}

double TXmlNode::GetAttrDateTime(const std::string& name, double defaultValue) {
    return GetAttrDateTimeById(NameTable().NameToId(name, true), defaultValue);
}

void TXmlNode::SetAttrDateTimeById(std::int32_t nameId, double value) {
    SetAttrValueById(nameId, Platform::Variant::FromDateTime(value));
}

void TXmlNode::SetAttrDateTime(const std::string& name, double value) {
    SetAttrDateTimeById(NameTable().NameToId(name, false), value);
}

double TXmlNode::GetAttrFloatById(std::int32_t nameId, double defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return defaultValue;
    const TXmlAttrValue value = AttrValueAt(index);
    return value.IsNumeric() ? value.Typed()->ToDouble() : static_cast<double>(XmlTextToFloat(value.ToString()));
}

double TXmlNode::GetAttrFloat(const std::string& name, double defaultValue) {
    return GetAttrFloatById(NameTable().NameToId(name, true), defaultValue);
}

void TXmlNode::SetAttrFloatById(std::int32_t nameId, double value) {
    SetAttrValueById(nameId, Platform::Variant::FromDouble(value));
}

void TXmlNode::SetAttrFloat(const std::string& name, double value) {
    SetAttrFloatById(NameTable().NameToId(name, false), value);
}

// --- hexadecimal ---

std::int32_t TXmlNode::GetAttrHexById(std::int32_t nameId, std::int32_t defaultValue) const {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) return defaultValue;
    return XmlHexToInt32(AttrValueAt(index).ToVariant());
}

std::int32_t TXmlNode::GetAttrHex(const std::string& name, std::int32_t defaultValue) {
    return GetAttrHexById(NameTable().NameToId(name, true), defaultValue);
}

void TXmlNode::SetAttrHexById(std::int32_t nameId, std::int32_t value, std::int32_t digits) {
    SetAttrTextById(nameId, Int32ToXmlHex(value, digits));
}

void TXmlNode::SetAttrHex(const std::string& name, std::int32_t value, std::int32_t digits) {
    SetAttrHexById(NameTable().NameToId(name, false), value, digits);
}

// --- enumerations ---

std::int32_t TXmlNode::NeedAttrEnumById(std::int32_t nameId, const std::vector<std::string>& allowed) {
    const std::int32_t index = FindAttr(nameId);
    if (index < 0) throw TolvexXmlException(AttrNotFoundMessage(NameTable().IdToName(nameId)));
    const std::string text = AttrValueAt(index).ToString();
    for (std::size_t i = 0; i < allowed.size(); ++i)
        if (Platform::SameTextIgnoringCase(text, allowed[i])) return static_cast<std::int32_t>(i);
    std::string allowedList;
    for (std::size_t i = 0; i < allowed.size(); ++i) allowedList += (i ? "\r\n" : "") + allowed[i];
    throw TolvexXmlException(Platform::Format(
        "Неверное значение атрибута \"%s\" элемента \"%s\".\r\nДопустимые значения:\r\n%s",
        NameTable().IdToName(nameId).c_str(), GetNodeName().c_str(), allowedList.c_str()));
}

std::int32_t TXmlNode::NeedAttrEnum(const std::string& name, const std::vector<std::string>& allowed) {
    return NeedAttrEnumById(NameTable().NameToId(name, true), allowed);
}

std::int32_t TXmlNode::GetAttrEnumById(std::int32_t nameId, const std::vector<std::string>& allowed,
                                       std::int32_t defaultIndex) {
    return AttrExistsById(nameId) ? NeedAttrEnumById(nameId, allowed) : defaultIndex;
}

std::int32_t TXmlNode::GetAttrEnum(const std::string& name, const std::vector<std::string>& allowed,
                                   std::int32_t defaultIndex) {
    return GetAttrEnumById(NameTable().NameToId(name, true), allowed, defaultIndex);
}

// --- values by path ---

Platform::Variant TXmlNode::GetValueByPath(const std::string& path) {
    if (path.empty()) return GetValue();
    if (path[0] == '@') return GetAttrValue(path.substr(1), Platform::Variant::FromString(std::string()));
    const IXmlNode element = SelectElement(path);
    return element ? element->GetValue() : Platform::Variant::FromString(std::string());
}

void TXmlNode::SetValueByPath(const std::string& path, const Platform::Variant& value) {
    if (path.empty()) return SetValue(value);
    if (path[0] == '@') return SetAttrValue(path.substr(1), value);
    IXmlNode element = SelectElement(path);
    if (!element) element = AppendElement(path);
    element->SetValue(value);
}

}  // namespace TolvexXml
