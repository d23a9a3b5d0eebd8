#include "platform/VariantConvert.h"

#include "platform/Exception.h"
#include "platform/Format.h"

namespace Platform {

void RaiseVariantTypeCast(VarType from, VarType to) {
    throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)",
                                       Variant::TypeName(from).c_str(), Variant::TypeName(to).c_str()));
}

}  // namespace Platform
