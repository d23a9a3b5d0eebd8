#include "base/Variant.h"

#include <cmath>
#include <cstring>

#include "base/BoolText.h"
#include "base/CarvedBlocks.h"
#include "base/Exception.h"
#include "base/Format.h"
#include "base/VariantConvert.h"
#include "platform/CodePage.h"
#include "platform/LocaleCompare.h"

namespace Platform {

namespace {

bool IsIntegerType(VarType type) {
    return type == varSmallint || type == varInteger || (type >= varShortInt && type <= varInt64);
}

[[noreturn]] void RaiseInvalidAccess() { throw EInvalidCast("Invalid variant type conversion"); }

}  // namespace

Variant Variant::Null() {
    Variant value;
    value.type_ = varNull;
    return value;
}
Variant Variant::FromSmallint(std::int16_t value) { return Variant(varSmallint, std::int64_t{value}); }
Variant Variant::FromInt32(std::int32_t value) { return Variant(varInteger, std::int64_t{value}); }
Variant Variant::FromSingle(float value) { return Variant(varSingle, value); }
Variant Variant::FromDouble(double value) { return Variant(varDouble, value); }
Variant Variant::FromCurrency(std::int64_t scaledBy10000) { return Variant(varCurrency, scaledBy10000); }
Variant Variant::FromDateTime(double days) { return Variant(varDate, days); }
Variant Variant::FromWide(std::u16string text) { return Variant(varOleStr, std::move(text)); }
Variant Variant::FromBool(bool value) { return FromBoolRaw(value ? VariantTrue : 0); }
Variant Variant::FromBoolRaw(std::int16_t raw) { return Variant(varBoolean, std::int64_t{raw}); }
Variant Variant::FromShortInt(std::int8_t value) { return Variant(varShortInt, std::int64_t{value}); }
Variant Variant::FromByte(std::uint8_t value) { return Variant(varByte, std::int64_t{value}); }
Variant Variant::FromWord(std::uint16_t value) { return Variant(varWord, std::int64_t{value}); }
Variant Variant::FromLongWord(std::uint32_t value) { return Variant(varLongWord, std::int64_t{value}); }
Variant Variant::FromInt64(std::int64_t value) { return Variant(varInt64, value); }

Variant Variant::FromCarvedString(std::string_view carvedBytes) noexcept {
    Variant value;
    value.payload_.carvedText = {carvedBytes.data(), carvedBytes.size()};
    value.type_ = varString;
    value.carved_ = true;
    return value;
}

Variant Variant::CopiedString(CarvedBlocks& blocks, std::string_view text) {
    if (!CarvesText(text.size())) return FromString(std::string(text));
    char* bytes = static_cast<char*>(blocks.Allocate(text.size()));
    std::memcpy(bytes, text.data(), text.size());
    return FromCarvedString(std::string_view(bytes, text.size()));
}

void Variant::DestroyOwnedPayload() noexcept {
    switch (StorageNow()) {
        case Storage::Text: payload_.text.~basic_string(); break;
        case Storage::CarvedText:
            CarvedBlocks::Free(const_cast<char*>(payload_.carvedText.bytes), payload_.carvedText.size);
            carved_ = false;
            break;
        case Storage::Wide: payload_.wide.~basic_string(); break;
        case Storage::Bytes: delete payload_.bytes; break;
        default: break;
    }
}

Variant::Variant(const Variant& other) { CopyFrom(other); }

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void Variant::CopyFrom(const Variant& other) {
    switch (other.StorageNow()) {
        case Storage::Text: new (&payload_.text) std::string(other.payload_.text); break;
        case Storage::CarvedText: new (&payload_.text) std::string(other.RawString()); break;
        case Storage::Wide: new (&payload_.wide) std::u16string(other.payload_.wide); break;
        case Storage::Bytes: payload_.bytes = new ByteArray(*other.payload_.bytes); break;
        case Storage::Real: payload_.real = other.payload_.real; break;
        case Storage::Single: payload_.single = other.payload_.single; break;
        default: payload_.integer = other.payload_.integer; break;
    }
    type_ = other.type_;
}

Variant Variant::FromBytes(std::string bytes, std::int32_t lowBound) {
    Variant value;
    value.payload_.bytes = new ByteArray{std::move(bytes), lowBound};
    value.type_ = varByteArray;
    return value;
}

bool Variant::IsNumeric() const noexcept {
    return IsIntegerType(type_) || type_ == varSingle || type_ == varDouble || type_ == varCurrency ||
           type_ == varBoolean;
}

std::int64_t Variant::RawInteger() const {
    if (!IsIntegerType(type_)) RaiseInvalidAccess();
    return payload_.integer;
}

std::int16_t Variant::RawBool() const {
    if (type_ != varBoolean) RaiseInvalidAccess();
    return static_cast<std::int16_t>(payload_.integer);
}

float Variant::RawSingle() const {
    if (type_ != varSingle) RaiseInvalidAccess();
    return payload_.single;
}

double Variant::RawDouble() const {
    if (type_ != varDouble && type_ != varDate) RaiseInvalidAccess();
    return payload_.real;
}

std::int64_t Variant::RawCurrency() const {
    if (type_ != varCurrency) RaiseInvalidAccess();
    return payload_.integer;
}

std::string_view Variant::RawString() const {
    if (type_ != varString) RaiseInvalidAccess();
    if (carved_) return {payload_.carvedText.bytes, payload_.carvedText.size};
    return payload_.text;
}

const std::u16string& Variant::RawWide() const {
    if (type_ != varOleStr) RaiseInvalidAccess();
    return payload_.wide;
}

const std::string& Variant::RawBytes() const {
    if (type_ != varByteArray) RaiseInvalidAccess();
    return payload_.bytes->elements;
}

std::int32_t Variant::LowBound() const {
    if (type_ != varByteArray) RaiseInvalidAccess();
    return payload_.bytes->lowBound;
}

std::string Variant::ToString() const {
    switch (type_) {
        case varEmpty: return {};
        case varString: return std::string(RawString());
        case varOleStr: return WideToMultiByte(CodePageAnsi, RawWide());
        case varNull:
        case varByteArray: RaiseVariantTypeCast(type_, varString);
        default:
            if (IsIntegerType(type_)) return std::to_string(RawInteger());
            return std::string(ChangeVariantType(*this, varString).RawString());
    }
}

std::u16string Variant::ToWide() const {
    if (type_ == varOleStr) return RawWide();
    if (type_ == varNull || type_ == varByteArray) RaiseVariantTypeCast(type_, varOleStr);
    return MultiByteToWide(CodePageAnsi, ToString());
}

bool Variant::ToBool() const {
    switch (type_) {
        case varEmpty: return false;
        case varBoolean: return RawBool() != 0;
        case varString:
        case varOleStr: {
            const std::string text = ToString();
            if (const std::optional<bool> value = BoolFromText(text)) return *value;
            try {
                return ChangeVariantType(FromString(text), varDouble).RawDouble() != 0;
            } catch (const EVariantTypeCastError&) {
                // not a number either: the Boolean words remain
            }
            if (SameTextIgnoringCase(text, "True")) return true;
            if (SameTextIgnoringCase(text, "False")) return false;
            RaiseVariantTypeCast(type_, varBoolean);
        }
        case varNull:
        case varByteArray: RaiseVariantTypeCast(type_, varBoolean);
        default: return ToDouble() != 0;
    }
}

double Variant::ToDouble() const {
    switch (type_) {
        case varEmpty: return 0;
        case varSingle: return RawSingle();
        case varDouble:
        case varDate: return RawDouble();
        case varCurrency: return static_cast<double>(RawCurrency()) / 10000;
        case varBoolean: return RawBool();
        case varString:
        case varOleStr: return ChangeVariantType(*this, varDouble).RawDouble();
        default:
            if (IsIntegerType(type_)) return static_cast<double>(RawInteger());
            RaiseVariantTypeCast(type_, varDouble);
    }
}

double Variant::ToDateTime() const {
    if (type_ == varString || type_ == varOleStr) return ChangeVariantType(*this, varDate).RawDouble();
    if (type_ == varNull || type_ == varByteArray) RaiseVariantTypeCast(type_, varDate);
    return ToDouble();
}

std::int64_t Variant::ToInt64() const {
    if (IsIntegerType(type_)) return RawInteger();
    if (type_ == varBoolean) return RawBool();
    if (type_ == varCurrency) {
        // Round half to even, as the platform does, in whole units.
        const std::int64_t units = RawCurrency() / 10000;
        const std::int64_t rest = RawCurrency() % 10000;
        if (rest > 5000 || (rest == 5000 && units % 2 != 0)) return units + 1;
        if (rest < -5000 || (rest == -5000 && units % 2 != 0)) return units - 1;
        return units;
    }
    if (type_ == varString || type_ == varOleStr) return ChangeVariantType(*this, varInt64).RawInteger();
    if (type_ == varNull || type_ == varByteArray) RaiseVariantTypeCast(type_, varInt64);
    const double value = std::nearbyint(ToDouble());
    if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
        RaiseVariantTypeCast(type_, varInt64);
    return static_cast<std::int64_t>(value);
}

bool Variant::Equals(const Variant& other) const {
    if (IsEmpty() || IsNull() || other.IsEmpty() || other.IsNull()) return type_ == other.type_;
    if (type_ == varByteArray || other.type_ == varByteArray) {
        if (type_ != other.type_) RaiseVariantTypeCast(type_ == varByteArray ? other.type_ : type_, varByteArray);
        return RawBytes() == other.RawBytes();
    }
    if (IsText() && other.IsText()) {
        if (type_ == varString && other.type_ == varString) return RawString() == other.RawString();
        return ToWide() == other.ToWide();
    }
    if (type_ == varBoolean || other.type_ == varBoolean) return ToBool() == other.ToBool();
    if (IsIntegerType(type_) && IsIntegerType(other.type_)) return RawInteger() == other.RawInteger();
    if (type_ == varCurrency && other.type_ == varCurrency) return RawCurrency() == other.RawCurrency();
    return ToDouble() == other.ToDouble();
}

Variant Variant::Add(const Variant& other) const {
    if (IsNull() || other.IsNull()) return Null();
    if (type_ == varByteArray || other.type_ == varByteArray)
        RaiseVariantTypeCast(varByteArray, type_ == varByteArray ? other.type_ : type_);
    const bool textOrEmpty = (IsText() || IsEmpty()) && (other.IsText() || other.IsEmpty());
    if (textOrEmpty) {
        if (IsEmpty() && other.IsEmpty()) return Variant();
        if (type_ == varOleStr || other.type_ == varOleStr) return FromWide(ToWide() + other.ToWide());
        return FromString(ToString() + other.ToString());
    }
    if (IsIntegerType(type_) && IsIntegerType(other.type_)) {
        std::int64_t sum = 0;
        if (!__builtin_add_overflow(RawInteger(), other.RawInteger(), &sum)) return FromInt64(sum);
    }
    return FromDouble(ToDouble() + other.ToDouble());
}

std::string Variant::TypeName(VarType type) {
    switch (type) {
        case varEmpty: return "Empty";
        case varNull: return "Null";
        case varSmallint: return "Smallint";
        case varInteger: return "Integer";
        case varSingle: return "Single";
        case varDouble: return "Double";
        case varCurrency: return "Currency";
        case varDate: return "Date";
        case varOleStr: return "OleStr";
        case varBoolean: return "Boolean";
        case varShortInt: return "ShortInt";
        case varByte: return "Byte";
        case varWord: return "Word";
        case varLongWord: return "LongWord";
        case varInt64: return "Int64";
        case varString: return "String";
        case varByteArray: return "Array Byte";
        default: return Format("Unknown ($%.4X)", static_cast<unsigned>(type));
    }
}

}  // namespace Platform
