// What every export shares when it answers from the scenario file: loading it,
// walking the answers under Root, comparing element names, filling text fields,
// and refusing host pointers it cannot use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

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
