// The encodings of the binary XML form: packed integers, strings and typed values,
// and the buffered readers and writers that carry them.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "support/ExpectFailure.h"
#include "xml/XmlBinaryCodec.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

constexpr std::size_t HeaderSize = 18;  // signature and options word

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (const int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// The bytes a write produces after the header.
template <class Write>
std::string Encoded(Write write, std::uint32_t options = 0, std::size_t bufferSize = BinaryXmlBufferSize) {
    TStrXmlWriter writer(options, bufferSize);
    write(writer);
    writer.Flush();
    return writer.Result().substr(HeaderSize);
}

// A string reader over the header with the options, followed by the payload.
std::string Image(const std::string& payload, std::uint32_t options = 0) {
    return std::string(BinaryXmlSignature) + Bytes({static_cast<int>(options & 0xFF), 0, 0, 0}) + payload;
}

struct PackedCase {
    std::int32_t value;
    std::string bytes;
};

class PackedInt : public ::testing::TestWithParam<PackedCase> {};

TEST_P(PackedInt, WritesItsFormAndReadsBack) {
    EXPECT_EQ(Encoded([](auto& w) { WritePackedInt(w, GetParam().value); }), GetParam().bytes);
    const std::string image = Image(GetParam().bytes);
    TStrXmlReader reader(image);
    EXPECT_EQ(ReadPackedInt(reader), GetParam().value);
    EXPECT_EQ(reader.BytesLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PackedInt,
    ::testing::Values(PackedCase{0, Bytes({0x00})}, PackedCase{5, Bytes({0x05})}, PackedCase{127, Bytes({0x7F})},
                      PackedCase{128, Bytes({0x80, 0x80})}, PackedCase{200, Bytes({0x80, 0xC8})},
                      PackedCase{256, Bytes({0x81, 0x00})}, PackedCase{4096, Bytes({0x90, 0x00})},
                      PackedCase{8209, Bytes({0xA0, 0x11})}, PackedCase{32511, Bytes({0xFE, 0xFF})},
                      PackedCase{32512, Bytes({0xFF, 0x00, 0x7F, 0x00, 0x00})},
                      PackedCase{32767, Bytes({0xFF, 0xFF, 0x7F, 0x00, 0x00})},
                      PackedCase{70000, Bytes({0xFF, 0x70, 0x11, 0x01, 0x00})},
                      PackedCase{-1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
                      PackedCase{INT32_MIN, Bytes({0xFF, 0x00, 0x00, 0x00, 0x80})},
                      PackedCase{INT32_MAX, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})}));

TEST(BinaryStrings, WriteTheirLengthThenTheirUnits) {
    EXPECT_EQ(Encoded([](auto& w) { WriteAnsiStr(w, "ab"); }), Bytes({2, 'a', 'b'}));
    EXPECT_EQ(Encoded([](auto& w) { WriteAnsiStr(w, ""); }), Bytes({0}));
    EXPECT_EQ(Encoded([](auto& w) { WriteWideStr(w, u"a\u0416"); }), Bytes({2, 'a', 0, 0x16, 0x04}));
    EXPECT_EQ(Encoded([](auto& w) { WriteXmlStr(w, "ab"); }), Bytes({2, 'a', 'b'}));
    EXPECT_EQ(Encoded([](auto& w) { WriteXmlStr(w, "ab"); }, BinaryXmlWideStrings), Bytes({2, 'a', 0, 'b', 0}));
}

TEST(BinaryStrings, XmlStringsReadBackInEitherForm) {
    for (const std::uint32_t options : {0u, BinaryXmlWideStrings}) {
        const std::string image = Image(Encoded([](auto& w) { WriteXmlStr(w, "Name_1"); }, options), options);
        TStrXmlReader reader(image);
        EXPECT_EQ(reader.Options, options);
        EXPECT_EQ(ReadXmlStr(reader), "Name_1");
    }
}

struct ValueCase {
    const char* name;
    Variant value;
    std::string payload;
};

class BinaryValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(BinaryValue, WritesTypeAndPayloadAndReadsBack) {
    const std::string bytes = Encoded([](auto& w) { WriteValue(w, GetParam().value); });
    EXPECT_EQ(bytes, GetParam().payload);
    for (const std::uint32_t options : {0u, BinaryXmlWideStrings}) {
        const std::string image = Image(bytes, options);
        TStrXmlReader reader(image);
        const Variant read = ReadValue(reader);
        EXPECT_EQ(read.Type(), GetParam().value.Type());
        EXPECT_TRUE(read.Equals(GetParam().value));
        EXPECT_EQ(reader.BytesLeft(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BinaryValue,
    ::testing::Values(
        ValueCase{"Empty", Variant(), Bytes({0})}, ValueCase{"Null", Variant::Null(), Bytes({1})},
        ValueCase{"Smallint", Variant::FromSmallint(-2), Bytes({2, 0xFE, 0xFF})},
        ValueCase{"Integer", Variant::FromInt32(0x01020304), Bytes({3, 4, 3, 2, 1})},
        ValueCase{"Single", Variant::FromSingle(1.0f), Bytes({4, 0, 0, 0x80, 0x3F})},
        ValueCase{"Double", Variant::FromDouble(1.0), Bytes({5, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
        ValueCase{"Currency", Variant::FromCurrency(10000), Bytes({6, 0x10, 0x27, 0, 0, 0, 0, 0, 0})},
        ValueCase{"Date", Variant::FromDateTime(2.0), Bytes({7, 0, 0, 0, 0, 0, 0, 0, 0x40})},
        ValueCase{"OleStr", Variant::FromWide(u"hi"), Bytes({8, 2, 'h', 0, 'i', 0})},
        ValueCase{"BooleanTrue", Variant::FromBool(true), Bytes({11, 0xFF, 0xFF})},
        ValueCase{"BooleanFalse", Variant::FromBool(false), Bytes({11, 0, 0})},
        ValueCase{"ShortInt", Variant::FromShortInt(-1), Bytes({16, 0xFF})},
        ValueCase{"Byte", Variant::FromByte(200), Bytes({17, 200})},
        ValueCase{"Word", Variant::FromWord(0xABCD), Bytes({18, 0xCD, 0xAB})},
        ValueCase{"LongWord", Variant::FromLongWord(0xFFFFFFFFu), Bytes({19, 0xFF, 0xFF, 0xFF, 0xFF})},
        ValueCase{"Int64", Variant::FromInt64(-2), Bytes({20, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        ValueCase{"String", Variant::FromString("ab"), Bytes({0x81, 0x00, 2, 'a', 'b'})},
        ValueCase{"ByteArray", Variant::FromBytes("xy", 0), Bytes({0xA0, 0x11, 2, 'x', 'y'})},
        ValueCase{"EmptyByteArray", Variant::FromBytes("", 0), Bytes({0xA0, 0x11, 0})}),
    [](const auto& info) { return info.param.name; });

TEST(BinaryValue, ByteArraysReadBackWithLowBoundZero) {
    const std::string image = Image(Encoded([](auto& w) { WriteValue(w, Variant::FromBytes("abc", 5)); }));
    TStrXmlReader reader(image);
    const Variant read = ReadValue(reader);
    EXPECT_EQ(read.LowBound(), 0);
    EXPECT_EQ(read.RawBytes(), "abc");
}

TEST(BinaryValue, TheTypeCodeUsesItsLow16Bits) {
    const std::string image = Image(Bytes({0xFF, 0x03, 0x00, 0x01, 0x00, 7, 0, 0, 0}));  // 0x10003: Integer
    TStrXmlReader reader(image);
    EXPECT_EQ(ReadValue(reader).RawInteger(), 7);
}

TEST(BinaryValue, UnknownTypeCodesFail) {
    for (const std::string& payload : {Bytes({9}), Bytes({12}), Bytes({21}), Bytes({0x82, 0x00}), Bytes({0xA0, 0x0C})}) {
        const std::string image = Image(payload);
        ExpectFailure<TolvexXmlException>(
            [&] {
                TStrXmlReader reader(image);
                ReadValue(reader);
            },
            "Error reading value: bad type.");
    }
}

TEST(BinaryReader, AShortStringFailsAtOnce) {
    for (const std::size_t size : {0u, 14u, 17u})
        ExpectFailure<TolvexXmlException>(
            [&] {
                const std::string image(size, 'x');
                TStrXmlReader reader(image);
            },
            "Error reading data.");
    const std::string emptyImage = Image("");
    TStrXmlReader exact(emptyImage);
    EXPECT_EQ(exact.BytesLeft(), 0u);
}

// Every prefix of a valid encoding fails cleanly with the read error.
TEST(BinaryReader, TruncatedDataFails) {
    const std::string payload = Encoded([](auto& w) {
        WriteValue(w, Variant::FromWide(u"wide text"));
        WriteValue(w, Variant::FromInt64(1));
        WriteValue(w, Variant::FromBytes("bytes"));
        WritePackedInt(w, 70000);
    });
    for (std::size_t size = 0; size < payload.size(); ++size) {
        const std::string image = Image(payload.substr(0, size));
        ExpectFailure<TolvexXmlException>(
            [&] {
                TStrXmlReader reader(image);
                ReadValue(reader);
                ReadValue(reader);
                ReadValue(reader);
                ReadPackedInt(reader);
            },
            "Error reading data.");
    }
}

// With a carver, texts that fit a piece are carved, read the same, and a read
// that fails half-way gives its piece back.
TEST(BinaryReader, TextsReadIntoCarvedPiecesAreTheSame) {
    const std::int64_t blocksBefore = Platform::CarvedBlocks::BlocksInUse();
    const std::string texts[] = {"", "x", std::string(1024, 'c'), std::string(1025, 'h')};
    const std::string payload = Encoded([&](auto& w) {
        for (const std::string& text : texts) WriteValue(w, Variant::FromString(text));
    });
    {
        std::vector<Variant> read;
        {
            Platform::CarvedBlocks carver;
            const std::string image = Image(payload);
            TStrXmlReader reader(image);
            for (std::size_t i = 0; i < std::size(texts); ++i) read.push_back(ReadValue(reader, &carver));
            EXPECT_EQ(reader.BytesLeft(), 0u);
        }
        for (std::size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(read[i].RawString(), texts[i]) << i;
        EXPECT_EQ(Platform::CarvedBlocks::BlocksInUse() - blocksBefore, 1);
    }
    for (std::size_t size = 0; size < payload.size(); ++size) {
        const std::string image = Image(payload.substr(0, size));
        Platform::CarvedBlocks carver;
        ExpectFailure<TolvexXmlException>(
            [&] {
                TStrXmlReader reader(image);
                for (std::size_t i = 0; i < std::size(texts); ++i) ReadValue(reader, &carver);
            },
            "Error reading data.");
    }
    EXPECT_EQ(Platform::CarvedBlocks::BlocksInUse(), blocksBefore);
}

TEST(BinaryReader, CountsBeyondTheDataOrBelowZeroFail) {
    const std::string cases[] = {
        Bytes({0x81, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),        // 8-bit string of length -1
        Bytes({0x81, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),   // 8-bit string of 2^31 - 1 bytes
        Bytes({8, 0xFF, 0x00, 0x00, 0x00, 0x40, 'a', 0}),         // wide string of 2^30 units
        Bytes({8, 3, 'a', 0, 'b', 0, 'c'}),                       // wide string one byte short
        Bytes({0xA0, 0x11, 0xFF, 0x00, 0x00, 0x00, 0x80}),        // byte array of INT32_MIN bytes
    };
    for (const std::string& payload : cases) {
        const std::string image = Image(payload);
        ExpectFailure<TolvexXmlException>(
            [&] {
                TStrXmlReader reader(image);
                ReadValue(reader);
            },
            "Error reading data.");
    }
}

// The writers give the same bytes whatever their buffer size: small pieces are
// buffered, larger ones go straight through.
TEST(BinaryWriters, GiveTheSameBytesForAnyBufferSize) {
    const auto write = [](TBinXmlWriter& w) {
        for (int i = 0; i < 50; ++i) {
            WritePackedInt(w, i * 1000);
            WriteAnsiStr(w, std::string(static_cast<std::size_t>(i), 'a' + i % 26));
        }
    };
    const std::string expected = Encoded(write);
    for (const std::size_t bufferSize : {0u, 1u, 7u, 64u, 100000u}) {
        EXPECT_EQ(Encoded(write, 0, bufferSize), expected) << bufferSize;
        Platform::TMemoryStream stream;
        {
            TStmXmlWriter writer(stream, 0, bufferSize);
            write(writer);
            writer.Flush();
        }
        EXPECT_EQ(std::string(stream.Bytes().substr(HeaderSize)), expected) << bufferSize;
        EXPECT_EQ(stream.Bytes().substr(0, 14), BinaryXmlSignature);
    }
}

TEST(BinaryWriters, TheStreamWriterWritesOutItsBufferWhenItGoes) {
    Platform::TMemoryStream stream;
    {
        TStmXmlWriter writer(stream, 0x01020304, BinaryXmlBufferSize);
        WriteAnsiStr(writer, "tail");
        EXPECT_EQ(stream.GetSize(), 0);
    }
    EXPECT_EQ(std::string(stream.Bytes()), std::string(BinaryXmlSignature) + Bytes({4, 3, 2, 1, 4}) + "tail");
}

// The stream reader reads ahead in buffer-sized blocks and passes larger pieces
// straight through; it delivers the same bytes for every mix of sizes.
TEST(BinaryStreamReader, DeliversTheBytesAcrossBufferBoundaries) {
    std::string payload;
    for (int i = 0; i < 200000; ++i) payload += static_cast<char>(i * 7 % 251);
    for (const std::size_t bufferSize : {1u, 16u, 4096u, 65536u}) {
        Platform::TMemoryStream stream(Image(payload, 1));
        stream.Seek(14, Platform::SeekOrigin::Beginning);
        TStmXmlReader reader(stream, bufferSize);
        EXPECT_EQ(reader.Options, 1u);
        std::string read;
        std::size_t piece = 1;
        while (read.size() < payload.size()) {
            const std::size_t count = std::min(piece, payload.size() - read.size());
            std::string part(count, '\0');
            reader.ReadBytes(part.data(), count);
            read += part;
            piece = piece * 3 % 70001 + 1;
        }
        EXPECT_EQ(read, payload) << bufferSize;
        EXPECT_EQ(reader.BytesLeft(), 0u);
        char extra;
        ExpectFailure<TolvexXmlException>([&] { reader.ReadBytes(&extra, 1); }, "Error reading data.");
    }
}

TEST(BinaryStreamReader, StopsAtTheEndOfTheStream) {
    Platform::TMemoryStream stream(Image(Bytes({0x81, 0x00, 5, 'a', 'b'})));
    stream.Seek(14, Platform::SeekOrigin::Beginning);
    TStmXmlReader reader(stream, BinaryXmlBufferSize);
    ExpectFailure<TolvexXmlException>([&] { ReadValue(reader); }, "Error reading data.");
}

TEST(IsBinaryXml, NeedsTheWholeSignature) {
    EXPECT_TRUE(IsBinaryXml("< binary-xml >"));
    EXPECT_TRUE(IsBinaryXml("< binary-xml >more"));
    EXPECT_FALSE(IsBinaryXml("< binary-xml "));
    EXPECT_FALSE(IsBinaryXml("< BINARY-XML >"));
    EXPECT_FALSE(IsBinaryXml(""));
}

}  // namespace
}  // namespace TolvexXml
