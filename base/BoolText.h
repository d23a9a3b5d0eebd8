// The locale-aware conversion of text to a Boolean: the automation library's
// reading where the system has one (platform/Automation.h), otherwise its rules.
#pragma once

#include <optional>
#include <string>

namespace Platform {

// "True"/"False" in any letter case, "#TRUE#"/"#FALSE#" and numbers (non-zero is
// true). No value when the text is none of these (a type mismatch); other
// failures of the conversion raise EVariantTypeCastError.
std::optional<bool> BoolFromText(const std::string& text);

}  // namespace Platform
