// The encodings of the binary XML form: packed integers, strings and typed values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/CarvedBlocks.h"
#include "base/Variant.h"
#include "xml/XmlBinaryIo.h"

namespace TolvexXml {

// Options bit 0: names and character data are stored as UTF-16.
inline constexpr std::uint32_t BinaryXmlWideStrings = 1;

// A signed 32-bit value in 1 byte (0..127), 2 bytes (128..32511: high byte
// OR 0x80, then low byte) or 5 bytes (0xFF, then 4 bytes little-endian).
void WritePackedInt(TBinXmlWriter& writer, std::int32_t value);
std::int32_t ReadPackedInt(TBinXmlReader& reader);
// A packed count of items of at least bytesPerItem bytes each; a negative count,
// or one that the bytes left cannot hold, fails with "Error reading data.".
std::int32_t ReadPackedCount(TBinXmlReader& reader, std::size_t bytesPerItem);
// A packed count of records that are read one after another, nothing reserved for
// them: a count below 1 means none, and a count beyond the image fails at the first
// record that is missing, so a bad record before it reports its own failure.
std::int32_t ReadRecordCount(TBinXmlReader& reader);

// Little-endian fixed-size integers.
void WriteInt32(TBinXmlWriter& writer, std::int32_t value);
std::int32_t ReadInt32(TBinXmlReader& reader);

// Packed byte count, then the bytes.
void WriteAnsiStr(TBinXmlWriter& writer, std::string_view text);
std::string ReadAnsiStr(TBinXmlReader& reader);
// Packed count of UTF-16 code units, then the units little-endian.
void WriteWideStr(TBinXmlWriter& writer, const std::u16string& text);
std::u16string ReadWideStr(TBinXmlReader& reader);
// Names and character data: 8-bit, or UTF-16 in the ANSI code page when the
// options ask for wide strings.
void WriteXmlStr(TBinXmlWriter& writer, std::string_view text);
std::string ReadXmlStr(TBinXmlReader& reader);

// Packed type code, then the payload of that type. A code outside the known kinds
// fails with "Error writing value: bad type." / "Error reading value: bad type.".
// With a carver, a text that fits a piece is carved from its blocks.
void WriteValue(TBinXmlWriter& writer, const Platform::Variant& value);
// The record of an 8-bit text (varString) value, as WriteValue writes it.
void WriteTextValue(TBinXmlWriter& writer, std::string_view text);
Platform::Variant ReadValue(TBinXmlReader& reader, Platform::CarvedBlocks* carver = nullptr);
// ReadValue in two steps: the type code, then the payload of that type.
Platform::VarType ReadValueType(TBinXmlReader& reader);
Platform::Variant ReadValueOfType(TBinXmlReader& reader, Platform::VarType type, Platform::CarvedBlocks* carver);

}  // namespace TolvexXml
