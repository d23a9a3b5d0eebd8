// The rules of the automation library's text-to-Boolean conversion.
#include "platform/BoolText.h"

#include "platform/FloatText.h"
#include "platform/LocaleCompare.h"
#include "platform/posix/DecimalSeparator.h"

namespace Platform {

std::optional<bool> BoolFromText(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::string_view word = std::string_view(text).substr(first, text.find_last_not_of(' ') + 1 - first);
    if (SameTextIgnoringCase(word, "True") || SameTextIgnoringCase(word, "#TRUE#")) return true;
    if (SameTextIgnoringCase(word, "False") || SameTextIgnoringCase(word, "#FALSE#")) return false;
    if (const std::optional<double> number = ParseFloat(word, LocaleDecimalSeparator())) return *number != 0;
    return std::nullopt;
}

}  // namespace Platform
