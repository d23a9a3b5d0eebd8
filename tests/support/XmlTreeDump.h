// A compact text of a parsed tree for table-driven tests:
//   element   name[attr=value;attr=value](child, child)
//   text      "text"     (wide text: "u{XXXX}" for each code unit above 0x7F)
//   CDATA     <![text]>   comment  <!--text-->   instruction  <?target[attrs]"data"?>
#pragma once

#include <cstdio>
#include <string>

#include "base/Exception.h"
#include "xml/TolvexXml.h"

namespace TolvexXmlTest {

// A typed value (a binary image keeps them) shows its type number before its text;
// one with no text form shows the number alone.
inline std::string DumpTypedValue(const Platform::Variant& value) {
    std::string text = "#" + std::to_string(value.Type());
    try {
        text += ":" + value.ToString();
    } catch (const Platform::Exception&) {
        // Null, byte arrays and dates out of range have no text form
    }
    return text;
}

inline std::string DumpValue(const Platform::Variant& value) {
    if (value.Type() == Platform::varString) return std::string(value.RawString());
    if (value.Type() != Platform::varOleStr) return DumpTypedValue(value);
    std::string text;
    for (const char16_t unit : value.RawWide()) {
        if (unit < 0x80) {
            text += static_cast<char>(unit);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "u{%04X}", static_cast<unsigned>(unit));
            text += code;
        }
    }
    return text;
}

std::string DumpNode(TolvexXml::TXmlNode& node);

inline std::string DumpChildren(TolvexXml::TXmlNode& node) {
    std::string text;
    const TolvexXml::TXmlNodeList* list = node.PeekChildList();
    for (std::int32_t i = 0; list && i < list->GetCount(); ++i) {
        if (i > 0) text += ", ";
        text += DumpNode(*list->ItemAt(i));
    }
    return text;
}

inline std::string DumpAttrs(TolvexXml::TXmlNode& node) {
    if (node.GetAttrCount() == 0) return std::string();
    std::string text = "[";
    for (std::int32_t i = 0; i < node.GetAttrCount(); ++i) {
        if (i > 0) text += ";";
        text += node.GetAttrName(i) + "=" + DumpValue(node.GetAttrData(i).Value.ToVariant());
    }
    return text + "]";
}

inline std::string DumpNode(TolvexXml::TXmlNode& node) {
    using namespace TolvexXml;
    switch (node.GetNodeType()) {
        case ELEMENT_NODE: {
            std::string text = node.GetNodeName() + DumpAttrs(node);
            if (node.HasChildren()) text += "(" + DumpChildren(node) + ")";
            return text;
        }
        case TEXT_NODE:
            return "\"" + DumpValue(static_cast<TXmlText&>(node).Value()) + "\"";
        case CDATA_SECTION_NODE:
            return "<![" + std::string(static_cast<TXmlCharacterData&>(node).StoredText()) + "]>";
        case COMMENT_NODE:
            return "<!--" + std::string(static_cast<TXmlCharacterData&>(node).StoredText()) + "-->";
        case PROCESSING_INSTRUCTION_NODE:
            return "<?" + node.GetNodeName() + DumpAttrs(node) + "\"" + node.GetText() + "\"?>";
        default:
            return "#document(" + DumpChildren(node) + ")";
    }
}

}  // namespace TolvexXmlTest
