// The general conversion of typed values: the automation library's where the
// system has one, otherwise these rules, with the locale's decimal separator, and
// dates written and read as yyyy-mm-dd hh:nn:ss.
#include "base/VariantConvert.h"

#include <cmath>

#include "base/BoolText.h"
#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/FloatText.h"
#include "base/Format.h"
#include "platform/Automation.h"
#include "platform/CodePage.h"
#include "platform/LocaleSettings.h"

namespace Platform {

namespace {

static_assert(varString == AutomationAnsiText);

std::string CurrencyText(std::int64_t scaled) {
    const bool negative = scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string text = std::to_string(magnitude / 10000);
    if (negative) text.insert(text.begin(), '-');
    std::string fraction = Format("%04u", static_cast<unsigned>(magnitude % 10000));
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += LocaleDecimalSeparator() + fraction;
    return text;
}
// The date alone when the time is midnight, the time alone on day 0.
std::string DateText(double dateTime) {
    const DateParts date = DecodeDate(dateTime);
    const TimeParts time = DecodeTime(dateTime);
    const bool hasDate = !(date.year == 1899 && date.month == 12 && date.day == 30);
    const bool hasTime = time.hour != 0 || time.minute != 0 || time.second != 0;
    std::string text;
    if (hasDate || !hasTime) text = Format("%.4d-%.2d-%.2d", date.year, date.month, date.day);
    if (hasTime) {
        if (!text.empty()) text += ' ';
        text += Format("%.2d:%.2d:%.2d", time.hour, time.minute, time.second);
    }
    return text;
}

std::string ToText(const Variant& value) {
    switch (value.Type()) {
        case varSingle: return FormatFloatGeneral(value.RawSingle(), 7, LocaleDecimalSeparator());
        case varDouble: return FormatFloatGeneral(value.RawDouble(), 15, LocaleDecimalSeparator());
        case varCurrency: return CurrencyText(value.RawCurrency());
        case varBoolean: return value.RawBool() != 0 ? "True" : "False";
        case varDate:
            try {
                return DateText(value.RawDouble());
            } catch (const EConvertError&) {
                RaiseVariantTypeCast(varDate, varString);
            }
        default: return value.ToString();
    }
}

// Reads up to `count` numbers separated by `separator`; false when the text is not
// such a run of numbers.
bool ReadFields(std::string_view text, char separator, int* fields, int minCount, int maxCount) {
    int count = 0;
    size_t i = 0;
    while (true) {
        int number = 0;
        size_t digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 9; ++i, ++digits)
            number = number * 10 + (text[i] - '0');
        if (digits == 0 || count == maxCount) return false;
        fields[count++] = number;
        if (i == text.size()) return count >= minCount;
        if (text[i++] != separator) return false;
    }
}

double TextToDate(const std::string& text, VarType from) {
    std::string_view rest(text);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
    const size_t blank = rest.find(' ');
    std::string_view datePart = rest.substr(0, blank);
    std::string_view timePart = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    if (blank == std::string_view::npos && datePart.find(':') != std::string_view::npos) std::swap(datePart, timePart);
    int date[3] = {1899, 12, 30};
    int time[3] = {0, 0, 0};
    if ((!datePart.empty() && !ReadFields(datePart, '-', date, 3, 3)) ||
        (!timePart.empty() && !ReadFields(timePart, ':', time, 2, 3)) || (datePart.empty() && timePart.empty()))
        RaiseVariantTypeCast(from, varDate);
    try {
        return ComposeDateTime(EncodeDate(date[0], date[1], date[2]), EncodeTime(time[0], time[1], time[2], 0));
    } catch (const EConvertError&) {
        RaiseVariantTypeCast(from, varDate);
    }
}

double TextToDouble(const std::string& text, VarType from, VarType to) {
    const std::optional<double> number = ParseFloat(text, LocaleDecimalSeparator());
    if (!number) RaiseVariantTypeCast(from, to);
    return *number;
}

std::int64_t TextToInt64(const std::string& text, VarType from) {
    const double rounded = std::nearbyint(TextToDouble(text, from, varInt64));
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        RaiseVariantTypeCast(from, varInt64);
    return static_cast<std::int64_t>(rounded);
}

Variant ChangeByRules(const Variant& value, VarType target) {
    const bool text = value.IsText();
    switch (target) {
        case varString: return Variant::FromString(ToText(value));
        case varOleStr: return Variant::FromWide(value.Type() == varOleStr ? value.RawWide()
                                                                           : MultiByteToWide(CodePageAnsi, ToText(value)));
        case varDouble: return Variant::FromDouble(text ? TextToDouble(value.ToString(), value.Type(), target) : value.ToDouble());
        case varDate: return Variant::FromDateTime(text ? TextToDate(value.ToString(), value.Type()) : value.ToDouble());
        case varInt64: return Variant::FromInt64(text ? TextToInt64(value.ToString(), value.Type()) : value.ToInt64());
        case varBoolean:
            if (!text) return Variant::FromBool(value.ToBool());
            if (const std::optional<bool> result = BoolFromText(value.ToString())) return Variant::FromBool(*result);
            RaiseVariantTypeCast(value.Type(), target);
        default: RaiseVariantTypeCast(value.Type(), target);
    }
}

// The value as the automation library takes it; Null and byte arrays never get here.
AutomationScalar ScalarOf(const Variant& value) {
    AutomationScalar scalar;
    scalar.type = value.Type();
    switch (value.Type()) {
        case varEmpty: break;
        case varSingle: scalar.single = value.RawSingle(); break;
        case varDouble:
        case varDate: scalar.real = value.RawDouble(); break;
        case varCurrency: scalar.integer = value.RawCurrency(); break;
        case varBoolean: scalar.integer = value.RawBool(); break;
        case varString: scalar.text = value.RawString(); break;
        case varOleStr: scalar.wide = value.RawWide(); break;
        default: scalar.integer = value.RawInteger(); break;
    }
    return scalar;
}

Variant ValueOf(AutomationResult& result, VarType target) {
    switch (target) {
        case varOleStr: return Variant::FromWide(std::move(result.wide));
        case varString: return Variant::FromString(WideToMultiByte(CodePageAnsi, result.wide));
        case varDouble: return Variant::FromDouble(result.real);
        case varDate: return Variant::FromDateTime(result.real);
        case varBoolean: return Variant::FromBoolRaw(static_cast<std::int16_t>(result.integer));
        default: return Variant::FromInt64(result.integer);
    }
}

}  // namespace

Variant ChangeVariantType(const Variant& value, VarType target) {
    const bool served = target == varOleStr || target == varString || target == varDouble || target == varDate ||
                        target == varBoolean || target == varInt64;
    if (value.IsNull() || value.Type() == varByteArray || !served) RaiseVariantTypeCast(value.Type(), target);
    AutomationResult result;
    switch (ChangeAutomationType(ScalarOf(value), target, result)) {
        case AutomationOutcome::Converted: return ValueOf(result, target);
        case AutomationOutcome::NotOffered: return ChangeByRules(value, target);
        default: RaiseVariantTypeCast(value.Type(), target);
    }
}

void RaiseVariantTypeCast(VarType from, VarType to) {
    throw EVariantTypeCastError(Format("Could not convert variant of type (%s) into type (%s)",
                                       Variant::TypeName(from).c_str(), Variant::TypeName(to).c_str()));
}

}  // namespace Platform
