// The typed value: a tagged value with the automation type codes, plus 8-bit
// text (varString) and a one-dimensional byte array (varByteArray). Copying a
// Variant copies its content. The conversions follow the platform's general
// conversion of typed values and fail with EVariantTypeCastError
// ("Could not convert variant of type (%s) into type (%s)").
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "base/CarvedBlocks.h"

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
    static Variant FromString(const std::string& text) { return Variant(varString, std::string(text)); }
    static Variant FromString(std::string&& text) { return Variant(varString, std::move(text)); }
    // A text whose bytes were carved for this value alone from a CarvedBlocks
    // block (base/CarvedBlocks.h); the value gives them back when it ends, and
    // a copy of it owns a copy of the bytes.
    static Variant FromCarvedString(std::string_view carvedBytes) noexcept;
    // A text whose bytes are copied into a piece carved from the blocks when the
    // text is kept in carved bytes (CarvesText), into a heap string otherwise.
    static Variant CopiedString(CarvedBlocks& blocks, std::string_view text);
    // Whether a text of that size is kept in carved bytes: a carved text is never
    // empty and fits one piece.
    static bool CarvesText(std::size_t size) noexcept { return size > 0 && size <= CarvedBlocks::MaxObjectSize; }
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
    std::string_view RawString() const;     // varString
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

    // Whether the value is a text in carved bytes.
    bool IsCarvedText() const noexcept { return carved_; }
    // Ends the value, leaving Empty, but leaves carved bytes where they are: for a
    // holder whose blocks go back whole.
    void DropLeavingCarvedBytes() noexcept {
        if (!carved_) DestroyPayload();
        carved_ = false;
        type_ = varEmpty;
    }
    // Hands the bytes of a carved text to the batch, leaving the value Empty;
    // any other value is left as it is. For holders that end many values at once.
    void GiveCarvedTextTo(CarvedFreeBatch& batch) noexcept {
        if (!carved_) return;
        batch.Add(const_cast<char*>(payload_.carvedText.bytes), payload_.carvedText.size);
        carved_ = false;
        type_ = varEmpty;
    }

    // The name of a type code in conversion messages: "Null", "String", "Array Byte", ...
    static std::string TypeName(VarType type);

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept { MoveFrom(other); }
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            DestroyPayload();
            MoveFrom(other);
        }
        return *this;
    }
    ~Variant() { DestroyPayload(); }

private:
    // The payload member in use follows from the type code, so the value keeps no
    // index of its own. The payload comes first and the 16-bit type code last, so a
    // holder that declares the value [[no_unique_address]] can put a 32-bit member
    // of its own into the padding at the end (an attribute's name id): 40 bytes for
    // the pair.
    enum class Storage : std::uint8_t { None, Integer, Real, Single, Text, CarvedText, Wide, Bytes };
    Storage StorageNow() const noexcept { return carved_ ? Storage::CarvedText : StorageOf(type_); }
    static Storage StorageOf(VarType type) noexcept {
        switch (type) {
            case varSingle: return Storage::Single;
            case varDouble:
            case varDate: return Storage::Real;
            case varString: return Storage::Text;
            case varByteArray: return Storage::Bytes;
            case varOleStr: return Storage::Wide;
            case varEmpty:
            case varNull: return Storage::None;
            default: return Storage::Integer;
        }
    }

    // A byte array lives on the heap: it is rare, and its low bound would
    // otherwise take room in every value.
    struct ByteArray {
        std::string elements;
        std::int32_t lowBound;
    };

    union Payload {
        Payload() noexcept : integer(0) {}
        ~Payload() {}
        std::int64_t integer;  // every integer kind, Boolean, currency
        double real;           // double, date-time
        float single;
        std::string text;      // 8-bit text
        struct {
            const char* bytes;
            std::size_t size;
        } carvedText;          // 8-bit text in carved bytes
        std::u16string wide;   // UTF-16 text
        ByteArray* bytes;      // byte array, never null
    };

    Variant(VarType type, std::int64_t value) noexcept : type_(type) { payload_.integer = value; }
    Variant(VarType type, double value) noexcept : type_(type) { payload_.real = value; }
    Variant(VarType type, float value) noexcept : type_(type) { payload_.single = value; }
    Variant(VarType type, std::string&& text) noexcept : type_(type) { new (&payload_.text) std::string(std::move(text)); }
    Variant(VarType type, std::u16string&& text) noexcept : type_(type) {
        new (&payload_.wide) std::u16string(std::move(text));
    }

    // Takes the other value's type and payload; this value must hold no text.
    void CopyFrom(const Variant& other);
    void MoveFrom(Variant& other) noexcept {
        switch (other.StorageNow()) {
            case Storage::Text: new (&payload_.text) std::string(std::move(other.payload_.text)); break;
            case Storage::CarvedText:
                // The bytes go with the value: the other value is left Empty.
                payload_.carvedText = other.payload_.carvedText;
                type_ = other.type_;
                carved_ = true;
                other.type_ = varEmpty;
                other.carved_ = false;
                return;
            case Storage::Wide: new (&payload_.wide) std::u16string(std::move(other.payload_.wide)); break;
            case Storage::Bytes:
                // The other value cannot keep an array without allocating: it is left Empty.
                payload_.bytes = other.payload_.bytes;
                type_ = other.type_;
                other.type_ = varEmpty;
                return;
            case Storage::Real: payload_.real = other.payload_.real; break;
            case Storage::Single: payload_.single = other.payload_.single; break;
            default: payload_.integer = other.payload_.integer; break;
        }
        type_ = other.type_;
    }
    // Ends the payload that owns memory, if any; the type code is left to the
    // caller. Inline: most values own nothing (numbers, and values moved from).
    void DestroyPayload() noexcept {
        if (carved_ || type_ == varString || type_ == varOleStr || type_ == varByteArray) DestroyOwnedPayload();
    }
    void DestroyOwnedPayload() noexcept;

    Payload payload_;
    VarType type_ = varEmpty;
    bool carved_ = false;  // the text payload is carvedText
};

}  // namespace Platform
