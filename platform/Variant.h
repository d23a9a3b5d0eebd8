// The typed value: a tagged value with the automation type codes, plus 8-bit
// text (varString) and a one-dimensional byte array (varByteArray). Copying a
// Variant copies its content. The conversions follow the platform's general
// conversion of typed values and fail with EVariantTypeCastError
// ("Could not convert variant of type (%s) into type (%s)").
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace Platform {

using VarType = std::uint16_t;

inline constexpr VarType varEmpty = 0;
inline constexpr VarType varNull = 1;
inline constexpr VarType varSmallint = 2;   // signed 16-bit
inline constexpr VarType varInteger = 3;    // signed 32-bit
inline constexpr VarType varSingle = 4;
inline constexpr VarType varDouble = 5;
inline constexpr VarType varCurrency = 6;   // signed 64-bit count of 1/10000 units
inline constexpr VarType varDate = 7;       // double, days since 1899-12-30
inline constexpr VarType varOleStr = 8;     // UTF-16 text
inline constexpr VarType varBoolean = 11;   // 16-bit, 0 false, non-zero (0xFFFF) true
inline constexpr VarType varShortInt = 16;  // signed 8-bit
inline constexpr VarType varByte = 17;
inline constexpr VarType varWord = 18;
inline constexpr VarType varLongWord = 19;
inline constexpr VarType varInt64 = 20;
inline constexpr VarType varString = 256;        // 8-bit text
inline constexpr VarType varByteArray = 0x2011;  // one-dimensional array of bytes

// The Boolean payload for true.
inline constexpr std::int16_t VariantTrue = -1;

class Variant {
public:
    Variant() = default;  // Empty

    static Variant Null();
    static Variant FromSmallint(std::int16_t value);
    static Variant FromInt32(std::int32_t value);
    static Variant FromSingle(float value);
    static Variant FromDouble(double value);
    static Variant FromCurrency(std::int64_t scaledBy10000);
    static Variant FromDateTime(double days);
    static Variant FromWide(std::u16string text);
    static Variant FromBool(bool value);
    // A Boolean with its raw 16-bit payload (any non-zero is true).
    static Variant FromBoolRaw(std::int16_t raw);
    static Variant FromShortInt(std::int8_t value);
    static Variant FromByte(std::uint8_t value);
    static Variant FromWord(std::uint16_t value);
    static Variant FromLongWord(std::uint32_t value);
    static Variant FromInt64(std::int64_t value);
    static Variant FromString(std::string text);
    // A byte array holding the bytes, indices lowBound .. lowBound + size - 1.
    static Variant FromBytes(std::string bytes, std::int32_t lowBound = 0);

    VarType Type() const noexcept { return type_; }
    bool IsEmpty() const noexcept { return type_ == varEmpty; }
    bool IsNull() const noexcept { return type_ == varNull; }
    bool IsText() const noexcept { return type_ == varString || type_ == varOleStr; }
    // Integer kinds, floats, currency, Boolean (not the date-time).
    bool IsNumeric() const noexcept;

    // Raw payloads. Each one requires the matching type and raises EInvalidCast otherwise.
    std::int64_t RawInteger() const;        // every integer kind, widened
    std::int16_t RawBool() const;           // varBoolean
    float RawSingle() const;                // varSingle
    double RawDouble() const;               // varDouble, varDate
    std::int64_t RawCurrency() const;       // varCurrency, scaled by 10000
    const std::string& RawString() const;   // varString
    const std::u16string& RawWide() const;  // varOleStr
    const std::string& RawBytes() const;    // varByteArray: the elements
    std::int32_t LowBound() const;          // varByteArray

    // The general conversions of typed values (locale-dependent, see VariantConvert.h).
    std::string ToString() const;   // 8-bit text; Null and byte arrays fail
    std::u16string ToWide() const;  // UTF-16 text
    bool ToBool() const;
    double ToDouble() const;
    double ToDateTime() const;
    std::int64_t ToInt64() const;

    // The standard comparison of typed values: numbers numerically, texts byte for
    // byte, a text against a number after converting the text to a number. Raises
    // EVariantTypeCastError when the two cannot be compared.
    bool Equals(const Variant& other) const;
    // The general addition: texts are joined, numbers added (a text meeting a
    // number is converted to a number first); Null with anything gives Null.
    Variant Add(const Variant& other) const;

    // The name of a type code in conversion messages: "Null", "String", "Array Byte", ...
    static std::string TypeName(VarType type);

private:
    using Payload = std::variant<std::monostate, std::int64_t, double, float, std::string, std::u16string>;

    // The payload is built in place: texts are moved once, never through a temporary Payload.
    template <class T>
    Variant(VarType type, T&& payload) : type_(type), payload_(std::in_place_type<std::decay_t<T>>, std::forward<T>(payload)) {}

    VarType type_ = varEmpty;
    std::int32_t lowBound_ = 0;  // byte arrays only
    Payload payload_;
};

}  // namespace Platform
