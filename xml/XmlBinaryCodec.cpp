#include "xml/XmlBinaryCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/CodePage.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {

using Platform::Variant;

namespace {

constexpr std::int32_t OneByteLimit = 0x80;
constexpr std::int32_t TwoByteLimit = 0x7F00;  // 32512: the first value of the five-byte form
constexpr unsigned char FiveByteMarker = 0xFF;

// Writes the low `size` bytes of the value, least significant first.
void WriteLittleEndian(TBinXmlWriter& writer, std::uint64_t value, std::size_t size) {
    unsigned char bytes[8];
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    writer.WriteBytes(bytes, size);
}

// The size is a template argument so that the read from the window compiles to
// a fixed-size copy.
template <std::size_t Size>
std::uint64_t ReadLittleEndian(TBinXmlReader& reader) {
    unsigned char bytes[Size];
    reader.Read(bytes, Size);
    std::uint64_t value = 0;
    for (std::size_t i = Size; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

template <class Float, class Bits>
void WriteFloat(TBinXmlWriter& writer, Float value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    WriteLittleEndian(writer, bits, sizeof bits);
}

template <class Float, class Bits>
Float ReadFloat(TBinXmlReader& reader) {
    const auto bits = static_cast<Bits>(ReadLittleEndian<sizeof(Bits)>(reader));
    Float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A length for the packed form; the image cannot hold 2 GiB or more in one piece.
std::int32_t StoredLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT32_MAX)) throw TolvexXmlException("Error writing data: string too long.");
    return static_cast<std::int32_t>(length);
}

std::string ReadBytesOfCount(TBinXmlReader& reader) {
    return reader.ReadString(static_cast<std::size_t>(ReadPackedCount(reader, 1)));
}

}  // namespace

void WritePackedInt(TBinXmlWriter& writer, std::int32_t value) {
    if (value >= 0 && value < OneByteLimit) {
        const auto byte = static_cast<unsigned char>(value);
        writer.WriteBytes(&byte, 1);
    } else if (value >= OneByteLimit && value < TwoByteLimit) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8 | 0x80),
                                        static_cast<unsigned char>(value & 0xFF)};
        writer.WriteBytes(bytes, sizeof bytes);
    } else {
        writer.WriteBytes(&FiveByteMarker, 1);
        WriteInt32(writer, value);
    }
}

std::int32_t ReadPackedInt(TBinXmlReader& reader) {
    const unsigned char first = reader.ReadByte();
    if (first < OneByteLimit) return first;
    if (first == FiveByteMarker) return ReadInt32(reader);
    return (first & 0x7F) << 8 | reader.ReadByte();
}

std::int32_t ReadPackedCount(TBinXmlReader& reader, std::size_t bytesPerItem) {
    const std::int32_t count = ReadPackedInt(reader);
    if (count < 0 || static_cast<std::uint64_t>(count) * bytesPerItem > reader.BytesLeft())
        throw TolvexXmlException("Error reading data.");
    return count;
}

std::int32_t ReadRecordCount(TBinXmlReader& reader) { return std::max(ReadPackedInt(reader), 0); }

void WriteInt32(TBinXmlWriter& writer, std::int32_t value) {
    WriteLittleEndian(writer, static_cast<std::uint32_t>(value), 4);
}

std::int32_t ReadInt32(TBinXmlReader& reader) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadLittleEndian<4>(reader)));
}

void WriteAnsiStr(TBinXmlWriter& writer, std::string_view text) {
    WritePackedInt(writer, StoredLength(text.size()));
    writer.WriteBytes(text.data(), text.size());
}

std::string ReadAnsiStr(TBinXmlReader& reader) { return ReadBytesOfCount(reader); }

void WriteWideStr(TBinXmlWriter& writer, const std::u16string& text) {
    WritePackedInt(writer, StoredLength(text.size()));
    std::string bytes(text.size() * 2, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    writer.WriteBytes(bytes.data(), bytes.size());
}

std::u16string ReadWideStr(TBinXmlReader& reader) {
    const auto length = static_cast<std::size_t>(ReadPackedCount(reader, 2));
    const std::string bytes = reader.ReadString(length * 2);
    std::u16string text(length, u'\0');
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

void WriteXmlStr(TBinXmlWriter& writer, std::string_view text) {
    if (writer.Options & BinaryXmlWideStrings)
        WriteWideStr(writer, Platform::MultiByteToWide(Platform::CodePageAnsi, text));
    else
        WriteAnsiStr(writer, text);
}

std::string ReadXmlStr(TBinXmlReader& reader) {
    if (reader.Options & BinaryXmlWideStrings)
        return Platform::WideToMultiByte(Platform::CodePageAnsi, ReadWideStr(reader));
    return ReadAnsiStr(reader);
}

void WriteTextValue(TBinXmlWriter& writer, std::string_view text) {
    WritePackedInt(writer, Platform::varString);
    WriteAnsiStr(writer, text);
}

void WriteValue(TBinXmlWriter& writer, const Variant& value) {
    if (value.Type() == Platform::varString) return WriteTextValue(writer, value.RawString());
    WritePackedInt(writer, value.Type());
    switch (value.Type()) {
        case Platform::varEmpty:
        case Platform::varNull: return;
        case Platform::varSmallint:
        case Platform::varWord: WriteLittleEndian(writer, static_cast<std::uint64_t>(value.RawInteger()), 2); return;
        case Platform::varInteger:
        case Platform::varLongWord: WriteLittleEndian(writer, static_cast<std::uint64_t>(value.RawInteger()), 4); return;
        case Platform::varShortInt:
        case Platform::varByte: WriteLittleEndian(writer, static_cast<std::uint64_t>(value.RawInteger()), 1); return;
        case Platform::varInt64: WriteLittleEndian(writer, static_cast<std::uint64_t>(value.RawInteger()), 8); return;
        case Platform::varSingle: WriteFloat<float, std::uint32_t>(writer, value.RawSingle()); return;
        case Platform::varDouble:
        case Platform::varDate: WriteFloat<double, std::uint64_t>(writer, value.RawDouble()); return;
        case Platform::varCurrency: WriteLittleEndian(writer, static_cast<std::uint64_t>(value.RawCurrency()), 8); return;
        case Platform::varBoolean: WriteLittleEndian(writer, static_cast<std::uint16_t>(value.RawBool()), 2); return;
        case Platform::varOleStr: WriteWideStr(writer, value.RawWide()); return;
        case Platform::varByteArray: WriteAnsiStr(writer, value.RawBytes()); return;
        default: throw TolvexXmlException("Error writing value: bad type.");
    }
}

namespace {

Variant ReadText(TBinXmlReader& reader, Platform::CarvedBlocks* carver) {
    const auto count = static_cast<std::size_t>(ReadPackedCount(reader, 1));
    if (!carver || !Variant::CarvesText(count))
        return Variant::FromString(reader.ReadString(count));
    char* bytes = static_cast<char*>(carver->Allocate(count));
    try {
        reader.Read(bytes, count);
    } catch (...) {
        Platform::CarvedBlocks::Free(bytes, count);
        throw;
    }
    return Variant::FromCarvedString(std::string_view(bytes, count));
}

}  // namespace

Variant ReadValue(TBinXmlReader& reader, Platform::CarvedBlocks* carver) {
    return ReadValueOfType(reader, ReadValueType(reader), carver);
}

Platform::VarType ReadValueType(TBinXmlReader& reader) {
    return static_cast<Platform::VarType>(ReadPackedInt(reader) & 0xFFFF);
}

Variant ReadValueOfType(TBinXmlReader& reader, Platform::VarType type, Platform::CarvedBlocks* carver) {
    switch (type) {
        case Platform::varEmpty: return Variant();
        case Platform::varNull: return Variant::Null();
        case Platform::varSmallint: return Variant::FromSmallint(static_cast<std::int16_t>(ReadLittleEndian<2>(reader)));
        case Platform::varInteger: return Variant::FromInt32(ReadInt32(reader));
        case Platform::varSingle: return Variant::FromSingle(ReadFloat<float, std::uint32_t>(reader));
        case Platform::varDouble: return Variant::FromDouble(ReadFloat<double, std::uint64_t>(reader));
        case Platform::varCurrency: return Variant::FromCurrency(static_cast<std::int64_t>(ReadLittleEndian<8>(reader)));
        case Platform::varDate: return Variant::FromDateTime(ReadFloat<double, std::uint64_t>(reader));
        case Platform::varOleStr: return Variant::FromWide(ReadWideStr(reader));
        case Platform::varBoolean: return Variant::FromBoolRaw(static_cast<std::int16_t>(ReadLittleEndian<2>(reader)));
        case Platform::varShortInt: return Variant::FromShortInt(static_cast<std::int8_t>(ReadLittleEndian<1>(reader)));
        case Platform::varByte: return Variant::FromByte(static_cast<std::uint8_t>(ReadLittleEndian<1>(reader)));
        case Platform::varWord: return Variant::FromWord(static_cast<std::uint16_t>(ReadLittleEndian<2>(reader)));
        case Platform::varLongWord: return Variant::FromLongWord(static_cast<std::uint32_t>(ReadLittleEndian<4>(reader)));
        case Platform::varInt64: return Variant::FromInt64(static_cast<std::int64_t>(ReadLittleEndian<8>(reader)));
        case Platform::varString: return ReadText(reader, carver);
        case Platform::varByteArray: return Variant::FromBytes(ReadBytesOfCount(reader), 0);
        default: throw TolvexXmlException("Error reading value: bad type.");
    }
}

}  // namespace TolvexXml
