// The general conversion of typed values, locale-dependent (decimal separator,
// date and time forms): the automation library's where the system has one
// (platform/Automation.h), otherwise the rules of VariantConvert.cpp.
#pragma once

#include "base/Variant.h"

namespace Platform {

// Converts the value to the target type, one of varOleStr, varString, varDouble,
// varDate, varBoolean and varInt64. Failures raise EVariantTypeCastError with
// "Could not convert variant of type (%s) into type (%s)".
Variant ChangeVariantType(const Variant& value, VarType target);

// The conversion error for a value of one type that cannot become another.
[[noreturn]] void RaiseVariantTypeCast(VarType from, VarType to);

}  // namespace Platform
