#include "host/Scenario.h"

#include <cstring>
#include <vector>

#include "host/AnswerRules.h"
#include "host/Tolvex29.h"
#include "xml/XmlLoad.h"

namespace Tolvex29 {

Scenario::Scenario()
    : document_(TolvexXml::LoadXmlFile(ScenarioFileName)),
      root_(document_->NeedChild("Root")),
      answers_(root_->GetChildNodes()) {}

bool Scenario::IsNamedOneOf(TolvexXml::TXmlNode& node, const std::vector<std::string_view>& names) {
    // The stored name, compared where it stands: this runs for every answer.
    const std::vector<std::string>& storedNames = node.NameTable().Names();
    const auto nameId = static_cast<std::size_t>(node.GetNameId());
    if (nameId >= storedNames.size()) return false;
    const std::string& nodeName = storedNames[nameId];
    for (const std::string_view name : names)
        if (EqualIgnoringAsciiCase(nodeName, name)) return true;
    return false;
}

void CopyTextField(char* field, std::size_t limit, const std::string& text) {
    const std::size_t length = text.size() < limit ? text.size() : limit;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace Tolvex29
