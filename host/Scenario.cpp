#include "host/Scenario.h"

#include <cstring>
#include <vector>

#include "host/Tolvex29.h"
#include "xml/XmlLoad.h"

namespace Tolvex29 {

namespace {

char FoldAsciiLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

Scenario::Scenario()
    : document_(TolvexXml::LoadXmlFile(ScenarioFileName)), root_(document_->NeedChild("Root")) {}

bool Scenario::IsNamedOneOf(TolvexXml::TXmlNode& node, std::initializer_list<std::string_view> names) {
    // The stored name, compared where it stands: this runs for every answer.
    const std::vector<std::string>& storedNames = node.NameTable().Names();
    const auto nameId = static_cast<std::size_t>(node.GetNameId());
    if (nameId >= storedNames.size()) return false;
    const std::string& nodeName = storedNames[nameId];
    for (const std::string_view name : names)
        if (EqualIgnoringAsciiCase(nodeName, name)) return true;
    return false;
}

bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (FoldAsciiLetter(left[i]) != FoldAsciiLetter(right[i])) return false;
    return true;
}

void CopyTextField(char* field, std::size_t limit, const std::string& text) {
    const std::size_t length = text.size() < limit ? text.size() : limit;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace Tolvex29
