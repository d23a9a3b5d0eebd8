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

bool ElementNameSet::Contains(TolvexXml::TXmlNode& node) {
    const TolvexXml::TXmlNameTable* table = &node.NameTable();
    if (!table_) table_ = table;
    const std::int32_t nameId = node.GetNameId();
    if (table != table_ || nameId < 0) return Scenario::IsNamedOneOf(node, names_);
    const auto index = static_cast<std::size_t>(nameId);
    if (index >= verdicts_.size()) verdicts_.resize(index + 1, -1);
    if (verdicts_[index] < 0) verdicts_[index] = Scenario::IsNamedOneOf(node, names_) ? 1 : 0;
    return verdicts_[index] == 1;
}

void CopyTextField(char* field, std::size_t limit, const std::string& text) {
    const std::size_t length = text.size() < limit ? text.size() : limit;
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace Tolvex29
