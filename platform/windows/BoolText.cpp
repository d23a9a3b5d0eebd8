#include "platform/BoolText.h"

#include <windows.h>
#include <oleauto.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/VariantConvert.h"

namespace Platform {

std::optional<bool> BoolFromText(const std::string& text) {
    std::u16string wide = MultiByteToWide(CodePageAnsi, text);
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT status =
        ::VarBoolFromStr(reinterpret_cast<OLECHAR*>(wide.data()), LOCALE_USER_DEFAULT, 0, &result);
    if (SUCCEEDED(status)) return result != VARIANT_FALSE;
    if (status == DISP_E_TYPEMISMATCH) return std::nullopt;
    RaiseVariantTypeCast(varString, varBoolean);
}

}  // namespace Platform
