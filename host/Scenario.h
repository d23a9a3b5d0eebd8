// What every export shares when it answers from the scenario file: loading it,
// walking the answers under Root, comparing element names, filling text fields,
// and refusing host pointers it cannot use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Exception.h"
#include "xml/TolvexXml.h"

namespace Tolvex29 {

// The scenario document of one call and its Root element. The document is
// released when the Scenario goes, on every path out of the call.
class Scenario {
public:
    // Loads "in.xml" from the current directory and takes its Root element.
    Scenario();

    // The first child of Root, in document order, whose node name is one of the
    // names (ASCII letters compared without case) and that satisfies the test;
    // empty when there is none. Children of other names are not tested.
    template <class Test>
    TolvexXml::IXmlNode FindAnswer(std::initializer_list<std::string_view> names, Test&& test) const {
        const TolvexXml::IXmlNodeList answers = root_->GetChildNodes();
        for (std::int32_t index = 0; index < answers->GetCount(); ++index) {
            TolvexXml::IXmlNode answer = answers->GetItem(index);
            if (IsNamedOneOf(*answer, names) && test(*answer)) return answer;
        }
        return nullptr;
    }

private:
    static bool IsNamedOneOf(TolvexXml::TXmlNode& node, std::initializer_list<std::string_view> names);

    TolvexXml::IXmlDocument document_;
    TolvexXml::IXmlNode root_;
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

private:
    std::int32_t IdIn(TolvexXml::TXmlNode& answer) const {
        if (id_ < 0) id_ = answer.NameTable().NameToId(name_, true);
        return id_;
    }

    std::string name_;
    mutable std::int32_t id_ = -1;
};

// Equal length and equal bytes once the ASCII letters a-z are folded to A-Z.
bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right);

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
