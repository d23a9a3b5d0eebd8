// The platform's general conversion of typed values, locale-dependent where the
// platform makes it so (decimal separator, date and time forms).
#pragma once

#include "platform/Variant.h"

namespace Platform {

// Converts the value to the target type, one of varOleStr, varString, varDouble,
// varDate, varBoolean and varInt64. Failures raise EVariantTypeCastError with
// "Could not convert variant of type (%s) into type (%s)".
Variant ChangeVariantType(const Variant& value, VarType target);

// The conversion error for a value of one type that cannot become another.
[[noreturn]] void RaiseVariantTypeCast(VarType from, VarType to);

}  // namespace Platform
