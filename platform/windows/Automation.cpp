// The conversions of typed values through the automation library.
#include "platform/Automation.h"

#include <windows.h>
#include <oleauto.h>

#include <new>

#include "platform/CodePage.h"

namespace Platform {

namespace {

// An automation VARIANT that clears itself.
class ClearedVariant {
public:
    ClearedVariant() { ::VariantInit(&value_); }
    ~ClearedVariant() { ::VariantClear(&value_); }
    ClearedVariant(const ClearedVariant&) = delete;
    ClearedVariant& operator=(const ClearedVariant&) = delete;
    VARIANT& Get() { return value_; }

private:
    VARIANT value_;
};

BSTR AllocateText(std::u16string_view text) {
    BSTR result = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    if (result == nullptr) throw std::bad_alloc();
    return result;
}

// Fills `target` with the scalar; false for a type the automation library does not take.
bool Store(const AutomationScalar& value, VARIANT& target) {
    switch (value.type) {
        case VT_EMPTY: V_VT(&target) = VT_EMPTY; return true;
        case VT_I2: V_VT(&target) = VT_I2; V_I2(&target) = static_cast<SHORT>(value.integer); return true;
        case VT_I4: V_VT(&target) = VT_I4; V_I4(&target) = static_cast<LONG>(value.integer); return true;
        case VT_R4: V_VT(&target) = VT_R4; V_R4(&target) = value.single; return true;
        case VT_R8: V_VT(&target) = VT_R8; V_R8(&target) = value.real; return true;
        case VT_CY: V_VT(&target) = VT_CY; V_CY(&target).int64 = value.integer; return true;
        case VT_DATE: V_VT(&target) = VT_DATE; V_DATE(&target) = value.real; return true;
        case VT_BOOL: V_VT(&target) = VT_BOOL; V_BOOL(&target) = static_cast<VARIANT_BOOL>(value.integer); return true;
        case VT_I1: V_VT(&target) = VT_I1; V_I1(&target) = static_cast<CHAR>(value.integer); return true;
        case VT_UI1: V_VT(&target) = VT_UI1; V_UI1(&target) = static_cast<BYTE>(value.integer); return true;
        case VT_UI2: V_VT(&target) = VT_UI2; V_UI2(&target) = static_cast<USHORT>(value.integer); return true;
        case VT_UI4: V_VT(&target) = VT_UI4; V_UI4(&target) = static_cast<ULONG>(value.integer); return true;
        case VT_I8: V_VT(&target) = VT_I8; V_I8(&target) = value.integer; return true;
        case VT_BSTR: V_BSTR(&target) = AllocateText(value.wide); V_VT(&target) = VT_BSTR; return true;
        case AutomationAnsiText:
            V_BSTR(&target) = AllocateText(MultiByteToWide(CodePageAnsi, value.text));
            V_VT(&target) = VT_BSTR;
            return true;
        default: return false;
    }
}

}  // namespace

AutomationOutcome ChangeAutomationType(const AutomationScalar& value, std::uint16_t target, AutomationResult& result) {
    VARTYPE automationType = 0;
    switch (target) {
        case AutomationAnsiText:
        case VT_BSTR: automationType = VT_BSTR; break;
        case VT_R8: automationType = VT_R8; break;
        case VT_DATE: automationType = VT_DATE; break;
        case VT_BOOL: automationType = VT_BOOL; break;
        case VT_I8: automationType = VT_I8; break;
        default: return AutomationOutcome::Failed;
    }
    ClearedVariant source;
    if (!Store(value, source.Get())) return AutomationOutcome::Failed;
    ClearedVariant converted;
    if (FAILED(::VariantChangeTypeEx(&converted.Get(), &source.Get(), LOCALE_USER_DEFAULT, VARIANT_ALPHABOOL,
                                     automationType)))
        return AutomationOutcome::Failed;
    VARIANT& out = converted.Get();
    switch (automationType) {
        case VT_BSTR: {
            const BSTR text = V_BSTR(&out);
            result.wide.assign(reinterpret_cast<const char16_t*>(text), text ? ::SysStringLen(text) : 0);
            break;
        }
        case VT_R8: result.real = V_R8(&out); break;
        case VT_DATE: result.real = V_DATE(&out); break;
        case VT_BOOL: result.integer = V_BOOL(&out); break;
        default: result.integer = V_I8(&out); break;
    }
    return AutomationOutcome::Converted;
}

AutomationOutcome AutomationBoolFromText(const std::string& text, bool& value) {
    std::u16string wide = MultiByteToWide(CodePageAnsi, text);
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT status = ::VarBoolFromStr(reinterpret_cast<OLECHAR*>(wide.data()), LOCALE_USER_DEFAULT, 0, &result);
    if (SUCCEEDED(status)) {
        value = result != VARIANT_FALSE;
        return AutomationOutcome::Converted;
    }
    return status == DISP_E_TYPEMISMATCH ? AutomationOutcome::Mismatch : AutomationOutcome::Failed;
}

}  // namespace Platform
