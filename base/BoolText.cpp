// Text to Boolean: the automation library's reading where the system has one,
// otherwise its rules.
#include "base/BoolText.h"

#include "base/FloatText.h"
#include "base/VariantConvert.h"
#include "platform/Automation.h"
#include "platform/LocaleCompare.h"
#include "platform/LocaleSettings.h"

namespace Platform {

namespace {

std::optional<bool> BoolFromTextByRules(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string_view word = std::string_view(text).substr(first, text.find_last_not_of(' ') + 1 - first);
    if (SameTextIgnoringCase(word, "True") || SameTextIgnoringCase(word, "#TRUE#")) return true;
    if (SameTextIgnoringCase(word, "False") || SameTextIgnoringCase(word, "#FALSE#")) return false;
    if (const std::optional<double> number = ParseFloat(word, LocaleDecimalSeparator())) return *number != 0;
    return std::nullopt;
}

}  // namespace

std::optional<bool> BoolFromText(const std::string& text) {
    bool value = false;
    switch (AutomationBoolFromText(text, value)) {
        case AutomationOutcome::Converted: return value;
        case AutomationOutcome::Mismatch: return std::nullopt;
        case AutomationOutcome::NotOffered: return BoolFromTextByRules(text);
        default: RaiseVariantTypeCast(varString, varBoolean);
    }
}

}  // namespace Platform
