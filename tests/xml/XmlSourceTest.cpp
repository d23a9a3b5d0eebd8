// Character sources, encoding names and the UTF-8 value decoding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exception.h"
#include "platform/Stream.h"
#include "xml/TolvexXml.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlSource.h"
#include "xml/XmlSourceEncoding.h"

namespace {

using namespace std::string_literals;
using namespace TolvexXml;

// A memory stream that counts the reads it serves.
class CountingStream final : public Platform::TStream {
public:
    explicit CountingStream(std::string bytes) : inner_(std::move(bytes)) {}
    std::size_t Read(void* buffer, std::size_t count) override {
        ++reads;
        return inner_.Read(buffer, count);
    }
    std::size_t Write(const void* buffer, std::size_t count) override { return inner_.Write(buffer, count); }
    std::int64_t Seek(std::int64_t offset, Platform::SeekOrigin origin) override {
        return inner_.Seek(offset, origin);
    }
    int reads = 0;

private:
    Platform::TMemoryStream inner_;
};

// Every character of the source, read with CurChar and Next.
std::string ReadAll(TXmlSource& source) {
    std::string text;
    if (source.Eof()) return text;
    do text += source.CurChar;
    while (source.Next());
    EXPECT_TRUE(source.Eof());
    EXPECT_EQ(source.CurChar, '\0');
    EXPECT_FALSE(source.Next()) << "Next past the end";
    return text;
}

TEST(XmlSourceTest, EmptyStringSourceIsAtItsEnd) {
    const std::string empty;
    TXmlStrSource source(empty);
    EXPECT_TRUE(source.Eof());
    EXPECT_EQ(source.CurChar, '\0');
    EXPECT_FALSE(source.Next());
}

TEST(XmlSourceTest, EmptyStreamIsAtItsEnd) {
    CountingStream stream("");
    TXmlStmSource source(stream, 16);
    EXPECT_TRUE(source.Eof());
    EXPECT_EQ(source.CurChar, '\0');
    EXPECT_EQ(stream.reads, 0);
}

TEST(XmlSourceTest, NulByteIsAnOrdinaryCharacter) {
    const std::string text = "a\0b"s;
    TXmlStrSource source(text);
    ASSERT_TRUE(source.Next());
    EXPECT_EQ(source.CurChar, '\0');
    EXPECT_FALSE(source.Eof());
    EXPECT_TRUE(source.Next());
    EXPECT_EQ(source.CurChar, 'b');
}

TEST(XmlSourceTest, StringAndStreamsDeliverTheSameCharacters) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += static_cast<char>(i * 7);
    const std::string fromString = [&] {
        TXmlStrSource source(text);
        return ReadAll(source);
    }();
    EXPECT_EQ(fromString, text);
    for (const std::int32_t bufSize : {1, 3, 64, 999, 1000, 1001}) {
        Platform::TMemoryStream stream(text);
        TXmlStmSource source(stream, bufSize);
        EXPECT_EQ(ReadAll(source), text) << "buffer size " << bufSize;
    }
}

// A stream load reads every window once: the look for a binary image's signature
// takes its bytes from the first window, not from a read of its own.
TEST(XmlSourceTest, AStreamLoadReadsEachWindowOnce) {
    const auto windowSize = static_cast<std::size_t>(TXmlStmSource::LoadBufSize);
    for (const std::size_t size : {7u, 15u, 65536u, 65537u, 200000u}) {
        const std::string text = "<a>" + std::string(size - 7, 'x') + "</a>";
        CountingStream stream(text);
        IXmlDocument document = new TXmlDocument(nullptr);
        document->LoadFromStream(stream);
        EXPECT_EQ(stream.reads, static_cast<int>((size + windowSize - 1) / windowSize)) << size << " bytes";
        EXPECT_EQ(document->GetDocumentElement()->GetText().size(), size - 7) << size << " bytes";
    }
}

TEST(XmlSourceTest, InputOffsetCountsTheWindowsBefore) {
    const std::string text(150, 'x');
    const auto expectOffsets = [&](TXmlSource& source, const std::string& label) {
        std::int64_t expected = 0;
        EXPECT_EQ(source.InputOffset(), 0) << label;
        while (source.Next()) ASSERT_EQ(source.InputOffset(), ++expected) << label;
        EXPECT_EQ(source.InputOffset(), 150) << label;
    };
    TXmlStrSource fromString(text);
    expectOffsets(fromString, "string");
    for (const std::int32_t bufSize : {1, 64, 149, 150, 151}) {
        Platform::TMemoryStream stream(text);
        TXmlStmSource source(stream, bufSize);
        expectOffsets(source, "buffer size " + std::to_string(bufSize));
    }
    // Skipping to the end of a window lands on the start of the next one.
    Platform::TMemoryStream stream(text);
    TXmlStmSource source(stream, 64);
    source.SkipTo(source.WindowEnd());
    EXPECT_EQ(source.InputOffset(), 64);
    source.SkipTo(source.Position() + 10);
    EXPECT_EQ(source.InputOffset(), 74);
    source.SkipTo(source.WindowEnd());
    source.SkipTo(source.WindowEnd());
    EXPECT_TRUE(source.Eof());
    EXPECT_EQ(source.InputOffset(), 150);
}

TEST(XmlSourceTest, StreamOfExactlyOneBufferIsReadOnce) {
    CountingStream stream(std::string(64, 'x'));
    TXmlStmSource source(stream, 64);
    EXPECT_EQ(ReadAll(source), std::string(64, 'x'));
    EXPECT_EQ(stream.reads, 1);
}

TEST(XmlSourceTest, EachFillReadsOneBufferOrTheRest) {
    CountingStream stream(std::string(150, 'x'));
    TXmlStmSource source(stream, 64);
    EXPECT_EQ(ReadAll(source).size(), 150u);
    EXPECT_EQ(stream.reads, 3);
}

TEST(XmlSourceTest, StreamNotAtItsStartFailsWithReadError) {
    Platform::TMemoryStream stream("abcdef");
    stream.SetPosition(2);
    try {
        TXmlStmSource source(stream, 64);
        FAIL() << "no failure";
    } catch (const Platform::EReadError& failure) {
        EXPECT_STREQ(failure.what(), "Stream read error");
    }
}

TEST(XmlSourceTest, TokensNestAndKeepTheirCapacity) {
    const std::string text;
    TXmlStrSource source(text);
    source.NewToken();
    source.AppendChars("outer", 5);
    source.NewToken();
    const std::string longText(100, 'y');
    source.AppendChars(longText.data(), longText.size());
    EXPECT_EQ(source.AcceptToken(), longText);
    source.AppendChar('!');
    EXPECT_EQ(source.AcceptToken(), "outer!");
    source.NewToken();
    source.NewToken();
    EXPECT_EQ(source.TokenText(), "");
    EXPECT_EQ(source.AcceptToken(), "");
    source.DropToken();
    EXPECT_EQ(source.TokenCount(), 2u);
}

TEST(EncodingTest, StandardNames) {
    const std::vector<std::pair<std::string, std::uint16_t>> cases = {
        {"UTF-8", 65001},       {"utf-8", 65001},      {"Utf-8", 65001},  {"Windows-1251", 1251},
        {"WINDOWS-1251", 1251}, {"windows-1251", 1251}, {"IBM866", 866},  {"ibm866", 866},
        {"CP866", 866},         {"cp866", 866},         {"KOI8-R", 0},    {"", 0},
        {"UTF8", 0},            {"UTF-8 ", 0},          {"UTF-", 0},      {"windows-12510", 0},
    };
    for (const auto& [name, codePage] : cases)
        EXPECT_EQ(StandardEncodingToCodePage(name), codePage) << '"' << name << '"';
    EXPECT_EQ(EncodingToCodePage, &StandardEncodingToCodePage);
}

TEST(Utf8ValueTest, ValuesWithoutSequencesStayEightBitText) {
    for (const std::string& text : {""s, "abc"s, "a\0b\x7F"s}) {
        const Platform::Variant value = DecodeUtf8Value(text);
        ASSERT_EQ(value.Type(), Platform::varString);
        EXPECT_EQ(value.RawString(), text);
    }
}

TEST(Utf8ValueTest, SequencesBecomeWideText) {
    const std::vector<std::pair<std::string, std::u16string>> cases = {
        {"\xC3\xA9", u"\u00E9"},
        {"x\xD0\x9F\xD1\x80y", u"x\u041F\u0440y"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\x80\x80", std::u16string(1, u'\0')},  // a continuation byte taken as a lead byte
        {"\xF0\x9F\x98", u"\u07D8"},             // 0xF0 leads three bytes
    };
    for (const auto& [bytes, wide] : cases) {
        const Platform::Variant value = DecodeUtf8Value(bytes);
        ASSERT_EQ(value.Type(), Platform::varOleStr);
        EXPECT_EQ(value.RawWide(), wide);
    }
}

TEST(Utf8ValueTest, MalformedValuesFail) {
    for (const std::string& bytes : {"\xC3"s, "\xC3 "s, "ab\xE2\x82"s, "\xE2\x82z"s, "\xC3\xC3\xA9"s}) {
        try {
            DecodeUtf8Value(bytes);
            ADD_FAILURE() << "no failure for " << testing::PrintToString(bytes);
        } catch (const TolvexXmlException& failure) {
            EXPECT_STREQ(failure.what(), "Bad UTF8 format");
        }
    }
}

}  // namespace
