// The node kinds below the document: element, text, CDATA section, comment and
// processing instruction.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "xml/XmlNode.h"

namespace TolvexXml {

// An element. Its content is either its children or a held typed value (set by
// SetText and SetValue); the held value counts only while there are no children.
class TXmlElement : public TXmlNode {
public:
    TXmlElement(TXmlNameTable* nameTable, std::int32_t nameId) : TXmlNode(nameTable), nameId_(nameId) {}

    std::int32_t GetNameId() override { return nameId_; }
    void SetNameId(std::int32_t nameId) override { nameId_ = nameId; }
    std::int32_t GetNodeType() override { return ELEMENT_NODE; }
    std::string GetText() override;
    void SetText(const std::string& text) override;
    Platform::VarType GetValueType() override;
    Platform::Variant GetValue() override;
    void SetValue(const Platform::Variant& value) override;
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;
    IXmlElement AsElement() override { return this; }

    // Removes the text and CDATA children, then appends CDATA sections for the text.
    void ReplaceTextByCDATASection(const std::string& text);
    // Removes the text and CDATA children, then appends one raw text node holding
    // the Base64 form of the bytes, with CR LF after every maxLine characters.
    void ReplaceTextByBinaryData(const void* bytes, std::size_t count, std::int32_t maxLine);
    // The bytes of the Base64 text of the element.
    std::string GetTextAsBinaryData();

    // The held value, whether or not children hide it; Empty when none is held.
    const Platform::Variant& HeldValue() const noexcept;
    // Removes the children of node type text or CDATA, walking from the end.
    void RemoveTextChildren();

    TXmlPartUse PartUse() const noexcept override;
    void FreeHeapParts() noexcept override;

protected:
    // Name, attributes and the held value: a deep copy keeps the content, whether
    // it is held as children or as a value.
    IXmlNode CloneWithoutChildren() override;

private:
    void HoldValue(const Platform::Variant& value);

    std::int32_t nameId_;
    // Made only while a value other than Empty is held: most elements hold children
    // instead, and an inline value would add 40 bytes to every element.
    std::unique_ptr<Platform::Variant> value_;
};

// The stored text shared by CDATA sections and comments.
class TXmlCharacterData : public TXmlNode {
public:
    TXmlCharacterData(TXmlNameTable* nameTable, const std::string& text)
        : TXmlNode(nameTable), text_(Platform::Variant::FromString(text)) {}
    // The text as an 8-bit text value, carved by the parser.
    TXmlCharacterData(TXmlNameTable* nameTable, Platform::Variant text) noexcept
        : TXmlNode(nameTable), text_(std::move(text)) {}

    // A comment's text loses its leading and trailing bytes 0..32 unless white
    // space is preserved; a CDATA section's text is returned as stored.
    std::string GetText() override;
    void SetText(const std::string& text) override { text_ = Platform::Variant::FromString(text); }
    std::string_view StoredText() const { return text_.RawString(); }

    TXmlPartUse PartUse() const noexcept override;
    void FreeHeapParts() noexcept override;

private:
    Platform::Variant text_;  // always 8-bit text
};

class TXmlText : public TXmlNode {
public:
    TXmlText(TXmlNameTable* nameTable, Platform::Variant value) : TXmlNode(nameTable), value_(std::move(value)) {}

    std::int32_t GetNameId() override { return NameTable().TextId(); }
    std::int32_t GetNodeType() override { return TEXT_NODE; }
    std::string GetText() override;
    void SetText(const std::string& text) override;
    Platform::VarType GetValueType() override { return value_.Type(); }
    Platform::Variant GetValue() override { return value_; }
    void SetValue(const Platform::Variant& value) override;
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;
    IXmlText AsText() override { return this; }

    const Platform::Variant& Value() const noexcept { return value_; }

    TXmlPartUse PartUse() const noexcept override;
    void FreeHeapParts() noexcept override;

    // The value's text goes into XML output without escaping. First, so that it
    // fills the padding at the end of TXmlNode.
    bool RawText = false;

private:
    Platform::Variant value_;
};

class TXmlCDATASection : public TXmlCharacterData {
public:
    using TXmlCharacterData::TXmlCharacterData;

    std::int32_t GetNameId() override { return NameTable().CDataId(); }
    std::int32_t GetNodeType() override { return CDATA_SECTION_NODE; }
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;
    IXmlCDATASection AsCDATASection() override { return this; }
};

class TXmlComment : public TXmlCharacterData {
public:
    using TXmlCharacterData::TXmlCharacterData;

    std::int32_t GetNameId() override { return NameTable().CommentId(); }
    std::int32_t GetNodeType() override { return COMMENT_NODE; }
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;
    IXmlComment AsComment() override { return this; }
};

// A processing instruction: a target name id and a data text; the XML declaration
// keeps its pseudo-attributes as attributes and has empty data.
class TXmlProcessingInstruction : public TXmlNode {
public:
    TXmlProcessingInstruction(TXmlNameTable* nameTable, std::int32_t targetId, std::string text);

    std::int32_t GetNameId() override { return targetId_; }
    void SetNameId(std::int32_t nameId) override { targetId_ = nameId; }
    std::int32_t GetNodeType() override { return PROCESSING_INSTRUCTION_NODE; }
    std::string GetText() override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;
    IXmlProcessingInstruction AsProcessingInstruction() override { return this; }

    TXmlPartUse PartUse() const noexcept override;
    void FreeHeapParts() noexcept override;

private:
    std::int32_t targetId_;
    std::string text_;
};

}  // namespace TolvexXml
