// What every export shares when it answers from the scenario file: loading it,
// the answers under Root, comparing element names, filling text fields, and
// refusing host pointers it cannot use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "xml/TolvexXml.h"

namespace Tolvex29 {

// The scenario document of one call and its Root element. The document is
// released when the Scenario goes, on every path out of the call.
class Scenario {
public:
    // Loads "in.xml" from the current directory and takes its Root element.
    Scenario();

    // Root's children: the answers, with whatever else the file holds.
    const TolvexXml::IXmlNodeList& Answers() const { return answers_; }

    // True when the node's name is one of the names, ASCII letters compared without case.
    static bool IsNamedOneOf(TolvexXml::TXmlNode& node, const std::vector<std::string_view>& names);

private:
    TolvexXml::IXmlDocument document_;
    TolvexXml::IXmlNode root_;
    TolvexXml::IXmlNodeList answers_;
};

// The element names of one rule, for a walk over many answers: each name id of
// the scenario's name table is compared once, and the answers of that name take
// the verdict. A node of another name table is compared by name.
class ElementNameSet {
public:
    explicit ElementNameSet(const std::vector<std::string_view>& names) : names_(names) {}

    bool Contains(TolvexXml::TXmlNode& node);

private:
    const std::vector<std::string_view>& names_;
    const TolvexXml::TXmlNameTable* table_ = nullptr;  // the table of the verdicts
    std::vector<signed char> verdicts_;                // by name id: -1 not compared yet, 0 no, 1 yes
};

// An attribute that a call asks many answers for. Its name is resolved to its id
// in the scenario's name table once, at the first read, instead of once per
// answer; values and failures are those of the reads by name.
class AnswerAttr {
public:
    explicit AnswerAttr(std::string name) : name_(std::move(name)) {}

    std::int64_t Int64(TolvexXml::TXmlNode& answer, std::int64_t defaultValue) const {
        return answer.GetNamedAttrInt64(IdIn(answer), name_, defaultValue);
    }
    std::string Text(TolvexXml::TXmlNode& answer, const std::string& defaultText) const {
        return answer.GetAttrTextById(IdIn(answer), defaultText);
    }
    bool Bool(TolvexXml::TXmlNode& answer, bool defaultValue) const {
        return answer.GetAttrBoolById(IdIn(answer), defaultValue);
    }

private:
    std::int32_t IdIn(TolvexXml::TXmlNode& answer) const {
        if (id_ < 0) id_ = answer.NameTable().NameToId(name_, true);
        return id_;
    }

    std::string name_;
    mutable std::int32_t id_ = -1;
};

// Copies at most limit bytes of the text into the field, then a NUL.
void CopyTextField(char* field, std::size_t limit, const std::string& text);

// The pointer itself; EArgumentError naming the call and the argument when it is null.
template <class T>
T* Required(T* pointer, const char* call, const char* argument) {
    if (pointer == nullptr)
        throw Platform::EArgumentError(std::string(call) + ": " + argument + " is a null pointer");
    return pointer;
}

}  // namespace Tolvex29
