// Round trips through the binary form: text -> tree -> image -> tree -> text over
// the example scenario and the benchmark's generated documents, and tree -> image
// -> tree over seeded random trees holding every node kind and every typed value,
// written with and without the wide-string option.
//
// What must come back: node kinds and order, name ids and the whole name table,
// attribute order, every value with its type code and its exact payload (floats
// bit for bit, NaN payloads, infinities and -0 included; integers at their
// extremes; strings of any length with any bytes, NUL included; UTF-16 values
// unit for unit, unpaired surrogates included). What the form does not carry, by
// its definition: the lower bound of a byte array (it comes back 0), the value an
// element holds hidden behind its children (it comes back empty), and the raw
// flag of a text node (it comes back clear).
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "support/ExpectFailure.h"
#include "support/ScenarioDocument.h"
#include "tools/ExampleScenario.h"
#include "xml/TolvexXml.h"
#include "xml/XmlBinaryCodec.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

// --- a dump of a tree that keeps every type and payload bit ---

template <class T>
std::string Hex(T value) {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(value));
    return text;
}

template <class Bits, class Float>
std::string FloatBits(Float value) {
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Hex(bits);
}

std::string Escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"')
            out += c;
        else
            out += std::string("\\") + Hex(byte) + ";";
    }
    return std::string("\"") + out + "\"";
}

// The type code and the exact payload; asStored gives a byte array the lower
// bound that the binary form gives it back with.
std::string DumpValue(const Variant& value, bool asStored) {
    std::string text = std::to_string(value.Type()) + ":";
    switch (value.Type()) {
        case Platform::varEmpty:
        case Platform::varNull: return text;
        case Platform::varSingle: return text + FloatBits<std::uint32_t>(value.RawSingle());
        case Platform::varDouble:
        case Platform::varDate: return text + FloatBits<std::uint64_t>(value.RawDouble());
        case Platform::varCurrency: return text + std::to_string(value.RawCurrency());
        case Platform::varBoolean: return text + std::to_string(value.RawBool());
        case Platform::varString: return text + Escaped(value.RawString());
        case Platform::varOleStr: {
            for (const char16_t unit : value.RawWide()) text += Hex(unit) + ",";
            return text;
        }
        case Platform::varByteArray:
            return text + std::to_string(asStored ? 0 : value.LowBound()) + Escaped(value.RawBytes());
        default: return text + std::to_string(value.RawInteger());
    }
}

// asStored: the tree as the binary form gives it back (see the top of the file).
std::string DumpTree(TXmlNode& node, bool asStored) {
    std::string text = std::to_string(node.GetNodeType()) + "#" + std::to_string(node.GetNameId());
    for (std::int32_t i = 0; i < node.GetAttrCount(); ++i) {
        const TXmlAttrRef attr = node.GetAttrData(i);
        text += std::string(" @") + std::to_string(attr.NameId) + "=" + DumpValue(attr.Value.ToVariant(), asStored);
    }
    switch (node.GetNodeType()) {
        case ELEMENT_NODE: {
            const Variant& held = static_cast<TXmlElement&>(node).HeldValue();
            text += std::string(" value=") + DumpValue(asStored && node.HasChildren() ? Variant() : held, asStored);
            break;
        }
        case TEXT_NODE: {
            auto& textNode = static_cast<TXmlText&>(node);
            text += std::string(" value=") + DumpValue(textNode.Value(), asStored);
            if (textNode.RawText && !asStored) text += " raw";
            break;
        }
        case CDATA_SECTION_NODE:
        case COMMENT_NODE: text += std::string(" ") + Escaped(static_cast<TXmlCharacterData&>(node).StoredText()); break;
        case PROCESSING_INSTRUCTION_NODE: text += std::string(" ") + Escaped(node.GetText()); break;
        default: break;
    }
    const TXmlNodeList* children = node.PeekChildList();
    if (!children || children->GetCount() == 0) return text;
    text += " {\n";
    for (std::int32_t i = 0; i < children->GetCount(); ++i) text += DumpTree(*children->ItemAt(i), asStored) + "\n";
    return text + "}";
}

// --- the round trip through each load path ---

IXmlDocument NewDocument() { return new TXmlDocument(GlobalNameTable()); }

enum class LoadPath { LoadXML, LoadBinaryXML, LoadFromStream };

// Writes the document's image with the options and loads it back by the path.
IXmlDocument RoundTrip(TXmlDocument& document, std::uint32_t options, LoadPath path) {
    IXmlDocument loaded = NewDocument();
    if (options == 0 && path != LoadPath::LoadFromStream) {
        const std::string image = document.GetBinaryXML();
        if (path == LoadPath::LoadXML)
            loaded->LoadXML(image);
        else
            loaded->LoadBinaryXML(image);
        return loaded;
    }
    Platform::TMemoryStream stream;
    document.SaveBinaryToStream(stream, options);
    if (path == LoadPath::LoadFromStream) {
        stream.Seek(0, Platform::SeekOrigin::Beginning);
        loaded->LoadFromStream(stream);
    } else {
        loaded->LoadXML(std::string(stream.Bytes()));
    }
    return loaded;
}

struct RoundTripCase {
    std::uint32_t options;
    LoadPath path;
};

const RoundTripCase roundTripCases[] = {
    {0, LoadPath::LoadXML},
    {0, LoadPath::LoadBinaryXML},
    {0, LoadPath::LoadFromStream},
    {BinaryXmlWideStrings, LoadPath::LoadXML},
    {BinaryXmlWideStrings, LoadPath::LoadFromStream},
    {BinaryXmlWideStrings | 0x80000000u, LoadPath::LoadFromStream},  // bits without meaning ride along
};

std::string CaseName(const RoundTripCase& c) {
    static const char* const paths[] = {"LoadXML", "LoadBinaryXML", "LoadFromStream"};
    return std::string("options ") + Hex(c.options) + ", " + paths[static_cast<int>(c.path)];
}

// Equality of long texts and images, reported by the first difference and its
// surroundings rather than by the whole of both.
void ExpectSameBytes(const std::string& actual, const std::string& expected, const char* what) {
    if (actual == expected) return;
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    const std::size_t from = at > 80 ? at - 80 : 0;
    ADD_FAILURE() << what << " differ at byte " << at << " (sizes " << actual.size() << " and " << expected.size()
                  << ")\n  actual:   " << Escaped(actual.substr(from, 160))
                  << "\n  expected: " << Escaped(expected.substr(from, 160));
}

// The document comes back the same by every path and option: the tree as the
// form stores it, the name table, and (written again) the same image and text.
// The texts come last: rendering interns "encoding" into both tables.
void ExpectRoundTrips(TXmlDocument& document) {
    const std::string expected = DumpTree(document, true);
    for (const RoundTripCase& c : roundTripCases) {
        SCOPED_TRACE(CaseName(c));
        const std::string image = document.GetBinaryXML();
        IXmlDocument loaded = RoundTrip(document, c.options, c.path);
        ExpectSameBytes(DumpTree(*loaded, false), expected, "trees");
        EXPECT_TRUE(loaded->NameTable().Names() == document.NameTable().Names());
        EXPECT_TRUE(loaded->NameTable().Buckets() == document.NameTable().Buckets());
        ExpectSameBytes(loaded->GetBinaryXML(), image, "images");
        ExpectSameBytes(loaded->GetXML(), document.GetXML(), "texts");
    }
}

// --- text documents ---

struct TextDocument {
    const char* name;
    std::string text;
};

class TextRoundTrip : public ::testing::TestWithParam<TextDocument> {};

// ExpectRoundTrips compares the text of the loaded tree with that of the tree
// parsed from the text.
TEST_P(TextRoundTrip, TextTreeImageTreeTextIsStable) {
    IXmlDocument document = NewDocument();
    document->LoadXML(GetParam().text);
    ASSERT_TRUE(document->GetDocumentElement());
    ExpectRoundTrips(*document);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, TextRoundTrip,
    ::testing::Values(TextDocument{"ExampleScenario", TolvexHost::ExampleScenarioText},
                      TextDocument{"BenchmarkDocument", TolvexBench::ScenarioDocument(100'000)},
                      TextDocument{"CharacterData",
                                   "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<!-- head -->"
                                   "<?app a=\"1\"?><R a=\"&lt;&amp;&gt;&quot;\" b=\"\xE7\xED\xE0\x98\">"
                                   "<![CDATA[ <raw> ]]>text &#1046; \xCF\xF0\xE8<E/><!--c--></R>"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- values ---

std::string AllBytes() {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
    return bytes;
}

// Every value kind of the form with its edge values; string lengths straddle the
// one-, two- and five-byte length forms and the 65536-byte buffers.
std::vector<Variant> EdgeValues() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double nanWithPayload;
    const std::uint64_t nanBits = 0x7FF8DEADBEEF1234ull;
    std::memcpy(&nanWithPayload, &nanBits, sizeof nanWithPayload);
    const double inf = std::numeric_limits<double>::infinity();
    const float finf = std::numeric_limits<float>::infinity();
    std::vector<Variant> values = {
        Variant(), Variant::Null(),
        Variant::FromSmallint(INT16_MIN), Variant::FromSmallint(-1), Variant::FromSmallint(INT16_MAX),
        Variant::FromInt32(INT32_MIN), Variant::FromInt32(0), Variant::FromInt32(INT32_MAX),
        Variant::FromShortInt(INT8_MIN), Variant::FromShortInt(INT8_MAX),
        Variant::FromByte(0), Variant::FromByte(UINT8_MAX),
        Variant::FromWord(0), Variant::FromWord(UINT16_MAX),
        Variant::FromLongWord(0), Variant::FromLongWord(UINT32_MAX),
        Variant::FromInt64(INT64_MIN), Variant::FromInt64(-1), Variant::FromInt64(INT64_MAX),
        Variant::FromSingle(1.5f), Variant::FromSingle(-0.0f), Variant::FromSingle(finf), Variant::FromSingle(-finf),
        Variant::FromSingle(std::numeric_limits<float>::quiet_NaN()),
        Variant::FromSingle(std::numeric_limits<float>::denorm_min()), Variant::FromSingle(FLT_MAX),
        Variant::FromDouble(0.1), Variant::FromDouble(-0.0), Variant::FromDouble(inf), Variant::FromDouble(-inf),
        Variant::FromDouble(nan), Variant::FromDouble(nanWithPayload),
        Variant::FromDouble(std::numeric_limits<double>::denorm_min()), Variant::FromDouble(DBL_MAX),
        Variant::FromDateTime(45296.5), Variant::FromDateTime(-693593.0), Variant::FromDateTime(nanWithPayload),
        Variant::FromCurrency(INT64_MIN), Variant::FromCurrency(0), Variant::FromCurrency(INT64_MAX),
        Variant::FromBool(false), Variant::FromBool(true), Variant::FromBoolRaw(1), Variant::FromBoolRaw(INT16_MIN),
        Variant::FromString(""), Variant::FromString(AllBytes()), Variant::FromString(std::string("a\0b", 3)),
        Variant::FromWide(u""), Variant::FromWide(u"\u041F\u0440\u0438\u0432\u0435\u0442 \U0001F600"),
        Variant::FromWide(std::u16string{u'\xD800', u'x', u'\xDFFF', u'\xFFFF', u'\0'}),
        Variant::FromBytes(""), Variant::FromBytes(AllBytes()), Variant::FromBytes("abc", 5),
        Variant::FromBytes("", -3),
    };
    for (const std::size_t length : {127u, 128u, 32511u, 32512u}) {
        values.push_back(Variant::FromString(std::string(length, '\xE9')));
        values.push_back(Variant::FromWide(std::u16string(length, u'\u0416')));
        values.push_back(Variant::FromBytes(std::string(length, '\0')));
    }
    values.push_back(Variant::FromString(std::string(70000, 'x')));
    return values;
}

TEST(BinaryRoundTrip, EveryValueKindAndEdgeValueComesBackWithItsTypeAndBits) {
    IXmlDocument document = NewDocument();
    IXmlElement root = document->AppendElement("Root");
    const std::vector<Variant> values = EdgeValues();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string name = std::to_string(i).insert(0, 1, 'v');
        root->SetAttrValue(name, values[i]);                      // an attribute
        root->AppendElement(name)->SetValue(values[i]);           // an element's own value
        root->AppendElement(name)->AppendChild(new TXmlText(&document->NameTable(), values[i]));  // a text node
        document->SetAttrValue(name, values[i]);                  // an attribute of the document
    }
    ExpectRoundTrips(*document);
    // The dump itself tells the stored lower bounds apart, so the comparison above
    // checked that they come back 0.
    ASSERT_NE(DumpTree(*document, false), DumpTree(*document, true));
}

// With the wide-string option names and character data pass through UTF-16 in
// the ANSI code page; every byte must come back, the ones the code page leaves
// undefined (0x98 in 1251) included.
TEST(BinaryRoundTrip, WideStringsKeepEveryByteOfNamesAndCharacterData) {
    const std::string bytes = AllBytes().substr(1);
    IXmlDocument document = NewDocument();
    IXmlElement root = document->AppendElement(std::string("R") + bytes);
    root->AppendComment(bytes);
    root->AppendCDATA(bytes);
    root->AppendProcessingInstruction(std::string("p") + bytes, bytes);
    IXmlDocument loaded = RoundTrip(*document, BinaryXmlWideStrings, LoadPath::LoadFromStream);
    ExpectSameBytes(DumpTree(*loaded, false), DumpTree(*document, true), "trees");
    EXPECT_EQ(loaded->GetDocumentElement()->GetNodeName(), std::string("R") + bytes);
}

TEST(BinaryRoundTrip, TheFormDropsOnlyWhatItDoesNotCarry) {
    IXmlDocument document = NewDocument();
    IXmlElement root = document->AppendElement("Root");
    root->SetValue(Variant::FromInt32(7));
    root->AppendComment("the value is now hidden");
    IXmlElement data = root->AppendElement("Data");
    data->ReplaceTextByBinaryData("\x01\x02\x03", 3, 76);

    IXmlDocument loaded = RoundTrip(*document, 0, LoadPath::LoadXML);
    EXPECT_TRUE(static_cast<TXmlElement&>(*loaded->GetDocumentElement()).HeldValue().IsEmpty());
    IXmlText text = loaded->GetDocumentElement()->SelectElement("Data")->GetChildNodes()->GetItem(0)->AsText();
    ASSERT_TRUE(text);
    EXPECT_FALSE(text->RawText);
    ExpectSameBytes(DumpTree(*loaded, false), DumpTree(*document, true), "trees");
}

TEST(BinaryRoundTrip, ADocumentNodeAmongTheChildrenCannotBeWritten) {
    IXmlDocument document = NewDocument();
    document->AppendElement("Root")->AppendChild(NewDocument());
    ExpectFailure<TolvexXmlException>([&] { document->GetBinaryXML(); },
                                      "Ошибка записи двоичного XML: некорректный тип узла");
}

// --- seeded random trees ---

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t Below(std::uint32_t bound) { return Next() % bound; }
    std::uint64_t Bits64() { return static_cast<std::uint64_t>(Next()) << 32 | Next(); }
    bool OneIn(std::uint32_t n) { return Below(n) == 0; }

private:
    std::uint64_t state_;
};

// Names of every sort the table holds: ASCII, 8-bit ANSI letters, long ones.
std::string RandomName(Random& random) {
    static const char* const names[] = {"a", "Root", "Card_Code", "x.y-z", "\xC8\xEC\xFF", "\xE0\xE1\xE2\xFF\xA8",
                                        "ns:item", "_"};
    if (random.OneIn(16)) return std::string("n") + std::string(130 + random.Below(200), 'q');
    return names[random.Below(sizeof names / sizeof *names)] + std::to_string(random.Below(40));
}

// Text with any byte of the ANSI code page, sometimes long enough for the longer
// length forms.
std::string RandomText(Random& random) {
    std::size_t length = random.Below(24);
    if (random.OneIn(20)) length = 100 + random.Below(40000);
    std::string text(length, '\0');
    for (char& c : text) {
        c = static_cast<char>(random.OneIn(3) ? 0x80 + random.Below(0x80) : 0x20 + random.Below(0x5F));
    }
    return text;
}

std::u16string RandomWide(Random& random) {
    std::u16string text(random.Below(20), u'\0');
    for (char16_t& unit : text) unit = static_cast<char16_t>(random.Next());
    return text;
}

Variant RandomValue(Random& random) {
    switch (random.Below(18)) {
        case 0: return Variant();
        case 1: return Variant::Null();
        case 2: return Variant::FromSmallint(static_cast<std::int16_t>(random.Next()));
        case 3: return Variant::FromInt32(static_cast<std::int32_t>(random.Next()));
        case 4: {
            const auto bits = random.Next();
            float value;
            std::memcpy(&value, &bits, sizeof value);
            // A signalling NaN may come back quietened where floats pass through
            // the x87 unit (32-bit Windows); every other bit pattern is carried.
            if (std::isnan(value)) value = std::numeric_limits<float>::quiet_NaN();
            return Variant::FromSingle(value);
        }
        case 5:
        case 6: {
            const auto bits = random.Bits64();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            if (std::isnan(value)) value = std::numeric_limits<double>::quiet_NaN();
            return random.OneIn(2) ? Variant::FromDouble(value) : Variant::FromDateTime(value);
        }
        case 7: return Variant::FromCurrency(static_cast<std::int64_t>(random.Bits64()));
        case 8: return Variant::FromWide(RandomWide(random));
        case 9: return Variant::FromBoolRaw(static_cast<std::int16_t>(random.OneIn(2) ? random.Next() : -1));
        case 10: return Variant::FromShortInt(static_cast<std::int8_t>(random.Next()));
        case 11: return Variant::FromByte(static_cast<std::uint8_t>(random.Next()));
        case 12: return Variant::FromWord(static_cast<std::uint16_t>(random.Next()));
        case 13: return Variant::FromLongWord(random.Next());
        case 14: return Variant::FromInt64(static_cast<std::int64_t>(random.Bits64()));
        case 15:
        case 16: return Variant::FromString(RandomText(random));
        default: return Variant::FromBytes(RandomText(random), static_cast<std::int32_t>(random.Below(3)) - 1);
    }
}

void AddRandomAttrs(Random& random, TXmlNode& node) {
    const std::uint32_t count = random.OneIn(3) ? 0 : random.Below(8);
    for (std::uint32_t i = 0; i < count; ++i) node.SetAttrValue(RandomName(random), RandomValue(random));
    if (random.OneIn(25)) node.SetAttrValue("", RandomValue(random));  // the empty name, id -1
}

void AddRandomChildren(Random& random, TXmlNode& parent, int depth, int& budget) {
    const std::uint32_t count = random.Below(depth == 0 ? 12 : 7);
    for (std::uint32_t i = 0; i < count && budget > 0; ++i, --budget) {
        TXmlDocument& document = *parent.OwnerDocument();
        switch (random.Below(depth < 6 ? 8 : 5)) {
            case 0: parent.AppendChild(new TXmlText(&document.NameTable(), RandomValue(random))); break;
            case 1: parent.AppendCDATA(RandomText(random)); break;
            case 2: parent.AppendComment(RandomText(random)); break;
            case 3: {
                IXmlProcessingInstruction instruction = parent.AppendProcessingInstruction(RandomName(random), RandomText(random));
                AddRandomAttrs(random, *instruction);
                if (random.OneIn(4)) AddRandomChildren(random, *instruction, depth + 1, budget);
                break;
            }
            default: {
                IXmlElement element = parent.AppendElement(RandomName(random));
                AddRandomAttrs(random, *element);
                if (random.OneIn(3)) element->SetValue(RandomValue(random));
                // Sometimes children after the value, which then hides it.
                if (random.OneIn(2)) AddRandomChildren(random, *element, depth + 1, budget);
                break;
            }
        }
    }
}

// A document of at most about 400 nodes below it, the same for the same seed.
IXmlDocument RandomDocument(std::uint64_t seed) {
    Random random(seed);
    IXmlDocument document = NewDocument();
    AddRandomAttrs(random, *document);
    int budget = 400;
    while (!document->HasChildren()) AddRandomChildren(random, *document, 0, budget);
    return document;
}

class RandomTreeRoundTrip : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(RandomTreeRoundTrip, ComesBackTheSame) {
    IXmlDocument document = RandomDocument(GetParam());
    // Names interned but used by no node are stored too.
    document->NameTable().NameToId(std::string("unused") + std::to_string(GetParam()), false);
    ExpectRoundTrips(*document);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTreeRoundTrip,
                         ::testing::Values(1u, 2u, 3u, 5u, 8u, 13u, 21u, 34u, 55u, 89u, 144u, 233u, 377u, 610u,
                                           987u, 1597u));

// Every node kind and every value kind occur among the seeds above, so that a
// change of the generator cannot quietly drop one.
TEST(RandomTrees, CoverEveryNodeKindAndValueKind) {
    std::set<std::int32_t> nodeKinds;
    std::set<Platform::VarType> valueKinds;
    std::function<void(TXmlNode&)> collect = [&](TXmlNode& node) {
        nodeKinds.insert(node.GetNodeType());
        for (std::int32_t i = 0; i < node.GetAttrCount(); ++i) valueKinds.insert(node.GetAttrData(i).Value.Type());
        if (node.GetNodeType() == TEXT_NODE) valueKinds.insert(static_cast<TXmlText&>(node).Value().Type());
        if (const TXmlNodeList* children = node.PeekChildList())
            for (std::int32_t i = 0; i < children->GetCount(); ++i) collect(*children->ItemAt(i));
    };
    for (const std::uint64_t seed : {1u, 2u, 3u}) collect(*RandomDocument(seed));
    EXPECT_EQ(nodeKinds, (std::set<std::int32_t>{ELEMENT_NODE, TEXT_NODE, CDATA_SECTION_NODE,
                                                 PROCESSING_INSTRUCTION_NODE, COMMENT_NODE, DOCUMENT_NODE}));
    EXPECT_EQ(valueKinds.size(), 17u);
}

}  // namespace
}  // namespace TolvexXml
