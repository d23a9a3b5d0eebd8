// The general conversion of typed values through the automation library.
#include "platform/VariantConvert.h"

#include <windows.h>
#include <oleauto.h>

#include "platform/CodePage.h"
#include "platform/Exception.h"

namespace Platform {

namespace {

// An automation VARIANT that clears itself.
class AutomationValue {
public:
    AutomationValue() { ::VariantInit(&value_); }
    ~AutomationValue() { ::VariantClear(&value_); }
    AutomationValue(const AutomationValue&) = delete;
    AutomationValue& operator=(const AutomationValue&) = delete;
    VARIANT& Get() { return value_; }

private:
    VARIANT value_;
};

BSTR AllocateText(const std::u16string& text) {
    BSTR result = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    if (result == nullptr) throw std::bad_alloc();
    return result;
}

// Fills `target` with the value; byte arrays and Null never get here.
void Store(const Variant& value, VARIANT& target) {
    switch (value.Type()) {
        case varEmpty: V_VT(&target) = VT_EMPTY; return;
        case varSmallint: V_VT(&target) = VT_I2; V_I2(&target) = static_cast<SHORT>(value.RawInteger()); return;
        case varInteger: V_VT(&target) = VT_I4; V_I4(&target) = static_cast<LONG>(value.RawInteger()); return;
        case varSingle: V_VT(&target) = VT_R4; V_R4(&target) = value.RawSingle(); return;
        case varDouble: V_VT(&target) = VT_R8; V_R8(&target) = value.RawDouble(); return;
        case varCurrency: V_VT(&target) = VT_CY; V_CY(&target).int64 = value.RawCurrency(); return;
        case varDate: V_VT(&target) = VT_DATE; V_DATE(&target) = value.RawDouble(); return;
        case varBoolean: V_VT(&target) = VT_BOOL; V_BOOL(&target) = value.RawBool(); return;
        case varShortInt: V_VT(&target) = VT_I1; V_I1(&target) = static_cast<CHAR>(value.RawInteger()); return;
        case varByte: V_VT(&target) = VT_UI1; V_UI1(&target) = static_cast<BYTE>(value.RawInteger()); return;
        case varWord: V_VT(&target) = VT_UI2; V_UI2(&target) = static_cast<USHORT>(value.RawInteger()); return;
        case varLongWord: V_VT(&target) = VT_UI4; V_UI4(&target) = static_cast<ULONG>(value.RawInteger()); return;
        case varInt64: V_VT(&target) = VT_I8; V_I8(&target) = value.RawInteger(); return;
        case varOleStr: V_BSTR(&target) = AllocateText(value.RawWide()); V_VT(&target) = VT_BSTR; return;
        case varString:
            V_BSTR(&target) = AllocateText(MultiByteToWide(CodePageAnsi, value.RawString()));
            V_VT(&target) = VT_BSTR;
            return;
        default: RaiseVariantTypeCast(value.Type(), varOleStr);
    }
}

}  // namespace

Variant ChangeVariantType(const Variant& value, VarType target) {
    if (value.IsNull() || value.Type() == varByteArray) RaiseVariantTypeCast(value.Type(), target);
    VARTYPE automationType = 0;
    switch (target) {
        case varString:
        case varOleStr: automationType = VT_BSTR; break;
        case varDouble: automationType = VT_R8; break;
        case varDate: automationType = VT_DATE; break;
        case varBoolean: automationType = VT_BOOL; break;
        case varInt64: automationType = VT_I8; break;
        default: RaiseVariantTypeCast(value.Type(), target);
    }
    AutomationValue source;
    Store(value, source.Get());
    AutomationValue result;
    if (FAILED(::VariantChangeTypeEx(&result.Get(), &source.Get(), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL, automationType)))
        RaiseVariantTypeCast(value.Type(), target);
    VARIANT& converted = result.Get();
    switch (target) {
        case varString:
        case varOleStr: {
            const BSTR text = V_BSTR(&converted);
            std::u16string wide(reinterpret_cast<const char16_t*>(text), text ? ::SysStringLen(text) : 0);
            if (target == varOleStr) return Variant::FromWide(std::move(wide));
            return Variant::FromString(WideToMultiByte(CodePageAnsi, wide));
        }
        case varDouble: return Variant::FromDouble(V_R8(&converted));
        case varDate: return Variant::FromDateTime(V_DATE(&converted));
        case varBoolean: return Variant::FromBoolRaw(V_BOOL(&converted));
        default: return Variant::FromInt64(V_I8(&converted));
    }
}

}  // namespace Platform
