// Attributes: storage order, lookup flags, and every typed getter with present,
// absent and malformed values.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "xml/TolvexXml.h"

namespace TolvexXml {
namespace {

using Platform::Variant;

class AttributeTest : public ::testing::Test {
protected:
    IXmlDocument doc = new TXmlDocument(GlobalNameTable());
    IXmlElement item = doc->AppendElement("Item");

    std::vector<std::string> AttrNames() {
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < item->GetAttrCount(); ++i) names.push_back(item->GetAttrName(i));
        return names;
    }
    using Names = std::vector<std::string>;
};

// Expects call() to throw exactly E with the message.
template <class E, class Call>
void ExpectFailure(Call call, const std::string& message, const char* className) {
    try {
        call();
        ADD_FAILURE() << "no failure, expected " << className;
    } catch (const E& e) {
        EXPECT_EQ(e.what(), message);
        EXPECT_STREQ(e.ClassName(), className);
    }
}

TEST_F(AttributeTest, SettingAgainKeepsThePosition) {
    item->SetAttrText("a", "1");
    item->SetAttrText("b", "2");
    item->SetAttrText("c", "3");
    item->SetAttrText("a", "4");
    EXPECT_EQ(AttrNames(), (Names{"a", "b", "c"}));
    EXPECT_EQ(item->GetAttrText("a", ""), "4");
    item->RemoveAttr("a");
    EXPECT_EQ(AttrNames(), (Names{"b", "c"}));
    EXPECT_EQ(item->GetAttrText("b", ""), "2");
    item->RemoveAllAttrs();
    EXPECT_EQ(item->GetAttrCount(), 0);
    EXPECT_FALSE(item->AttrExists("b"));
}

// "a" followed by the number.
std::string NumberedName(int number) {
    std::string name = "a";
    name += std::to_string(number);
    return name;
}

TEST_F(AttributeTest, ManyAttributesKeepTheirOrder) {
    for (int i = 0; i < 100; ++i) item->SetAttrInt64(NumberedName(i), i);
    ASSERT_EQ(item->GetAttrCount(), 100);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(item->GetAttrInt64ById(item->GetAttrNameId(i), -1), i);
    for (int i = 0; i < 100; i += 2) item->RemoveAttr(NumberedName(i));
    ASSERT_EQ(item->GetAttrCount(), 50);
    EXPECT_EQ(item->GetAttrName(0), "a1");
    EXPECT_EQ(item->GetAttrName(49), "a99");
}

TEST_F(AttributeTest, RemovingAnAbsentNameAddsOnlyTheName) {
    item->SetAttrText("CardCode", "1");
    const std::int32_t count = doc->NameTable().NameCount();
    item->RemoveAttr("cardCode");  // strict: another name, nothing removed
    EXPECT_EQ(item->GetAttrCount(), 1);
    EXPECT_EQ(doc->NameTable().NameCount(), count + 1);
}

TEST_F(AttributeTest, IndexOutsideTheAttributesHasNoName) {
    item->SetAttrText("a", "1");
    for (std::int32_t index : {-1, 1, 100}) {
        EXPECT_EQ(item->GetAttrNameId(index), -1);
        EXPECT_EQ(item->GetAttrName(index), "");
        EXPECT_THROW(item->GetAttrData(index), TolvexXmlException);
    }
}

TEST_F(AttributeTest, StoredTypeOfEachSetter) {
    item->SetAttrInt64("int", 5);
    item->SetAttrBool("bool", true);
    item->SetAttrFloat("float", 1.5);
    item->SetAttrDateTime("date", 2.0);
    item->SetAttrHex("hex", 255, 2);
    item->SetAttrValue("value", Variant::FromInt32(3));
    EXPECT_EQ(item->GetAttrType("int"), Platform::varString);
    EXPECT_EQ(item->GetAttrType("bool"), Platform::varBoolean);
    EXPECT_EQ(item->GetAttrType("float"), Platform::varDouble);
    EXPECT_EQ(item->GetAttrType("date"), Platform::varDate);
    EXPECT_EQ(item->GetAttrType("hex"), Platform::varString);
    EXPECT_EQ(item->GetAttrType("value"), Platform::varInteger);
    EXPECT_EQ(item->GetAttrType("absent"), Platform::varString);
    EXPECT_EQ(item->GetAttrText("int", ""), "5");
    item->SetAttrInt64("int", -9223372036854775807LL - 1);
    EXPECT_EQ(item->GetAttrText("int", ""), "-9223372036854775808");
}

// Every reading operation finds "CardCode" when asked for "cardCode".
TEST_F(AttributeTest, ReadersAreFirstLetterTolerant) {
    item->SetAttrText("CardCode", "12");
    const std::vector<std::pair<const char*, std::function<std::string()>>> readers = {
        {"AttrExists", [&] { return std::to_string(item->AttrExists("cardCode")); }},
        {"GetAttrType", [&] { return std::to_string(item->GetAttrType("cardCode")); }},
        {"GetAttrValue", [&] { return item->GetAttrValue("cardCode", Variant()).ToString(); }},
        {"NeedAttr", [&] { return item->NeedAttr("cardCode"); }},
        {"GetAttrText", [&] { return item->GetAttrText("cardCode", "none"); }},
        {"GetAttrBool", [&] { return std::to_string(item->GetAttrBool("cardCode", false)); }},
        {"GetAttrInt64", [&] { return std::to_string(item->GetAttrInt64("cardCode", 0)); }},
        {"GetAttrFloat", [&] { return std::to_string(item->GetAttrFloat("cardCode", 0)); }},
        {"GetAttrHex", [&] { return std::to_string(item->GetAttrHex("cardCode", 0)); }},
        {"GetAttrEnum", [&] { return std::to_string(item->GetAttrEnum("cardCode", {"x", "12"}, -1)); }},
        {"NeedAttrEnum", [&] { return std::to_string(item->NeedAttrEnum("cardCode", {"12"})); }},
        {"GetValueByPath", [&] { return item->GetValueByPath("@cardCode").ToString(); }},
    };
    const std::vector<std::string> expected = {"1",  "256",       "12", "12", "12", "1", "12",
                                               "12.000000", "18", "1",  "0",  "12"};
    for (std::size_t i = 0; i < readers.size(); ++i) EXPECT_EQ(readers[i].second(), expected[i]) << readers[i].first;
    EXPECT_EQ(item->GetAttrCount(), 1);
}

// Every writing operation takes the name as given.
TEST_F(AttributeTest, WritersInternExactly) {
    item->SetAttrText("CardCode", "12");
    item->SetAttrText("cardCode", "a");
    item->SetAttrBool("cardCode", true);
    item->SetAttrInt64("cardCode", 1);
    item->SetAttrFloat("cardCode", 1);
    item->SetAttrDateTime("cardCode", 1);
    item->SetAttrHex("cardCode", 1, 1);
    item->SetAttrValue("cardCode", Variant());
    item->SetValueByPath("@cardCode", Variant::FromString("b"));
    EXPECT_EQ(AttrNames(), (Names{"CardCode", "cardCode"}));
    EXPECT_EQ(item->GetAttrTextById(doc->NameTable().NameToId("CardCode", false), ""), "12");
}

TEST_F(AttributeTest, TextOfPresentEmptyAndAbsentAttributes) {
    item->SetAttrText("empty", "");
    item->SetAttrValue("number", Variant::FromInt32(-3));
    item->SetAttrValue("unset", Variant());
    EXPECT_EQ(item->GetAttrText("empty", "default"), "");
    EXPECT_EQ(item->GetAttrText("absent", "default"), "default");
    EXPECT_EQ(item->GetAttrText("number", ""), "-3");
    EXPECT_EQ(item->GetAttrText("unset", "default"), "");
    item->SetAttrValue("null", Variant::Null());
    ExpectFailure<Platform::EVariantTypeCastError>([&] { item->GetAttrText("null", ""); },
                                                   "Could not convert variant of type (Null) into type (String)",
                                                   "EVariantTypeCastError");
}

TEST_F(AttributeTest, NeedAttrReportsTheStoredOrRequestedName) {
    item->SetAttrText("Code", "7");
    EXPECT_EQ(item->NeedAttr("code"), "7");
    doc->NameTable().NameToId("Other", false);
    ExpectFailure<NeedAttrException>([&] { item->NeedAttr("other"); }, "Attribute \"Other\" is not found",
                                     "NeedAttrException");
    ExpectFailure<NeedAttrException>([&] { item->NeedAttr("fresh"); }, "Attribute \"fresh\" is not found",
                                     "NeedAttrException");
    ExpectFailure<NeedAttrException>([&] { item->NeedAttrById(-1); }, "Attribute \"\" is not found",
                                     "NeedAttrException");
}

struct BoolCase {
    const char* name;
    Variant value;
    std::optional<bool> expected;  // none: the conversion error
    std::string typeName;          // of the conversion error
};

class GetAttrBoolTest : public AttributeTest, public ::testing::WithParamInterface<BoolCase> {};

TEST_P(GetAttrBoolTest, ConvertsTheValue) {
    item->SetAttrValue("Flag", GetParam().value);
    for (bool defaultValue : {false, true}) {
        if (GetParam().expected) {
            EXPECT_EQ(item->GetAttrBool("flag", defaultValue), *GetParam().expected);
        } else {
            ExpectFailure<Platform::EVariantTypeCastError>(
                [&] { item->GetAttrBool("flag", defaultValue); },
                "Could not convert variant of type (" + GetParam().typeName + ") into type (Boolean)",
                "EVariantTypeCastError");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, GetAttrBoolTest,
    ::testing::Values(BoolCase{"TrueWord", Variant::FromString("True"), true, ""},
                      BoolCase{"FalseWord", Variant::FromString("False"), false, ""},
                      BoolCase{"One", Variant::FromString("1"), true, ""},
                      BoolCase{"Zero", Variant::FromString("0"), false, ""},
                      BoolCase{"SmallLetters", Variant::FromString("true"), true, ""},
                      BoolCase{"Capitals", Variant::FromString("FALSE"), false, ""},
                      BoolCase{"NegativeNumber", Variant::FromString("-2"), true, ""},
                      BoolCase{"WideText", Variant::FromWide(u"True"), true, ""},
                      BoolCase{"Word", Variant::FromString("yes"), std::nullopt, "String"},
                      BoolCase{"EmptyText", Variant::FromString(""), std::nullopt, "String"},
                      BoolCase{"Empty", Variant(), false, ""},
                      BoolCase{"Null", Variant::Null(), std::nullopt, "Null"},
                      BoolCase{"IntegerZero", Variant::FromInt32(0), false, ""},
                      BoolCase{"IntegerSeven", Variant::FromInt32(7), true, ""},
                      BoolCase{"Boolean", Variant::FromBool(true), true, ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(AttributeTest, GetAttrBoolOfAnAbsentAttributeIsTheDefault) {
    EXPECT_TRUE(item->GetAttrBool("absent", true));
    EXPECT_FALSE(item->GetAttrBool("absent", false));
}

struct IntegerCase {
    const char* name;
    std::string text;
    std::optional<std::int64_t> expected;  // none: not an integer
};

class GetAttrInt64Test : public AttributeTest, public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(GetAttrInt64Test, ReadsTheIntegerRule) {
    item->SetAttrText("Summa", GetParam().text);
    if (GetParam().expected) {
        EXPECT_EQ(item->GetAttrInt64("summa", -1), *GetParam().expected);
        EXPECT_EQ(item->GetAttrInt64ById(doc->NameTable().NameToId("Summa", false), -1), *GetParam().expected);
        return;
    }
    // The name form names the attribute as asked and quotes its text.
    ExpectFailure<TolvexXmlException>([&] { item->GetAttrInt64("summa", -1); },
                                      "Bad integer attribute summa value: \"" + GetParam().text + "\"",
                                      "TolvexXmlException");
    ExpectFailure<Platform::EConvertError>(
        [&] { item->GetAttrInt64ById(doc->NameTable().NameToId("Summa", false), -1); },
        "'" + GetParam().text + "' is not a valid integer value", "EConvertError");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GetAttrInt64Test,
    ::testing::Values(IntegerCase{"Decimal", "1234", 1234}, IntegerCase{"LeadingBlank", "  12", 12},
                      IntegerCase{"Negative", "-5", -5}, IntegerCase{"Plus", "+7", 7},
                      IntegerCase{"Dollar", "$FF", 255}, IntegerCase{"ZeroX", "0x10", 16},
                      IntegerCase{"LetterX", "x1f", 31}, IntegerCase{"Largest", "9223372036854775807", INT64_MAX},
                      IntegerCase{"Smallest", "-9223372036854775808", INT64_MIN},
                      IntegerCase{"TrailingBlank", "12 ", std::nullopt}, IntegerCase{"Empty", "", std::nullopt},
                      IntegerCase{"Letters", "abc", std::nullopt}, IntegerCase{"Fraction", "1.5", std::nullopt},
                      IntegerCase{"SignOnly", "-", std::nullopt},
                      IntegerCase{"BeyondRange", "9223372036854775808", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST_F(AttributeTest, GetAttrInt64OfAnAbsentAttributeIsTheDefault) {
    EXPECT_EQ(item->GetAttrInt64("absent", 42), 42);
    EXPECT_EQ(item->GetAttrInt64ById(-1, -42), -42);
}

TEST_F(AttributeTest, HexWritesCapitalsPaddedAndReadsThemBack) {
    const struct {
        std::int32_t value;
        std::int32_t digits;
        const char* text;
    } cases[] = {{255, 4, "00FF"}, {255, 1, "FF"}, {0, 0, "0"}, {-1, 2, "FFFFFFFF"}, {10, 40, "A"}, {0xABC, 8, "00000ABC"}};
    for (const auto& c : cases) {
        item->SetAttrHex("Mask", c.value, c.digits);
        EXPECT_EQ(item->GetAttrText("Mask", ""), c.text);
        EXPECT_EQ(item->GetAttrHex("mask", 0), c.value) << c.text;
    }
    EXPECT_EQ(item->GetAttrHex("absent", 77), 77);
}

TEST_F(AttributeTest, HexRejectsPrefixesSignsAndNonTextValues) {
    for (const char* text : {"0x1F", "-1", "G1", "", "1 "}) {
        item->SetAttrText("Mask", text);
        ExpectFailure<Platform::EConvertError>([&] { item->GetAttrHex("Mask", 0); },
                                               std::string("'$") + text + "' is not a valid integer value",
                                               "EConvertError");
    }
    item->SetAttrValue("Mask", Variant::FromInt32(5));
    EXPECT_THROW(item->GetAttrHex("Mask", 0), Platform::EVariantTypeCastError);
}

TEST_F(AttributeTest, FloatReadsNumbersAndBothDecimalSeparators) {
    const std::pair<Variant, double> cases[] = {{Variant::FromString("1,5"), 1.5},
                                                {Variant::FromString("1.5"), 1.5},
                                                {Variant::FromString("-2E3"), -2000},
                                                {Variant::FromInt32(3), 3},
                                                {Variant::FromDouble(0.25), 0.25},
                                                {Variant::FromCurrency(12345), 1.2345}};
    for (const auto& [value, expected] : cases) {
        item->SetAttrValue("Rate", value);
        EXPECT_DOUBLE_EQ(item->GetAttrFloat("rate", -1), expected);
    }
    EXPECT_DOUBLE_EQ(item->GetAttrFloat("absent", 9.5), 9.5);
    item->SetAttrFloat("Rate", 0.125);
    EXPECT_DOUBLE_EQ(item->GetAttrFloatById(doc->NameTable().NameToId("Rate", false), 0), 0.125);
    item->SetAttrText("Rate", "1,234.5");
    ExpectFailure<Platform::EConvertError>([&] { item->GetAttrFloat("Rate", 0); },
                                           "'1,234.5' is not a valid floating point value", "EConvertError");
}

TEST_F(AttributeTest, DateTimeReadsTextAndConvertsOtherValues) {
    const std::pair<Variant, double> cases[] = {{Variant::FromString("T12:00:00"), 0.5},
                                                {Variant::FromString("1899-12-31"), 1.0},
                                                {Variant::FromString("1900-01-01T06:00:00"), 2.25},
                                                {Variant::FromWide(u"1899-12-31"), 1.0},
                                                {Variant::FromDouble(3.75), 3.75},
                                                {Variant::FromDateTime(-1.5), -1.5}};
    for (const auto& [value, expected] : cases) {
        item->SetAttrValue("When", value);
        EXPECT_DOUBLE_EQ(item->GetAttrDateTime("when", -100), expected);
    }
    EXPECT_DOUBLE_EQ(item->GetAttrDateTime("absent", 7.5), 7.5);
    item->SetAttrText("When", "2024-13-01");
    ExpectFailure<Platform::EConvertError>([&] { item->GetAttrDateTime("When", 0); },
                                           "Invalid argument to date encode", "EConvertError");
}

TEST_F(AttributeTest, EnumFindsTheAllowedTextInAnyLetterCase) {
    const std::vector<std::string> colours = {"Red", "Green", "Blue"};
    item->SetAttrText("Colour", "gREEN");
    EXPECT_EQ(item->GetAttrEnum("colour", colours, -1), 1);
    EXPECT_EQ(item->NeedAttrEnum("Colour", colours), 1);
    EXPECT_EQ(item->GetAttrEnum("absent", colours, 2), 2);
    item->SetAttrText("Colour", "\xea\xf0");  // small letters of code page 1251
    EXPECT_EQ(item->GetAttrEnum("Colour", {"x", "\xca\xd0"}, -1), 1);
}

TEST_F(AttributeTest, EnumWithAnotherValueListsTheAllowedTexts) {
    item->SetAttrText("Colour", "Black");
    const std::string expected =
        "Неверное значение атрибута \"Colour\" элемента \"Item\".\r\nДопустимые значения:\r\nRed\r\nGreen\r\nBlue";
    ExpectFailure<TolvexXmlException>([&] { item->GetAttrEnum("colour", {"Red", "Green", "Blue"}, 0); }, expected,
                                      "TolvexXmlException");
    ExpectFailure<TolvexXmlException>([&] { item->NeedAttrEnum("Colour", {"Red", "Green", "Blue"}); }, expected,
                                      "TolvexXmlException");
    ExpectFailure<TolvexXmlException>(
        [&] { item->GetAttrEnum("Colour", {}, 0); },
        "Неверное значение атрибута \"Colour\" элемента \"Item\".\r\nДопустимые значения:\r\n", "TolvexXmlException");
}

TEST_F(AttributeTest, NeedAttrEnumOfAnAbsentAttributeIsNoNeedAttrException) {
    try {
        item->NeedAttrEnum("Colour", {"Red"});
        ADD_FAILURE() << "no failure";
    } catch (const NeedAttrException&) {
        ADD_FAILURE() << "NeedAttrException";
    } catch (const TolvexXmlException& e) {
        EXPECT_STREQ(e.what(), "Attribute \"Colour\" is not found");
        EXPECT_STREQ(e.ClassName(), "TolvexXmlException");
    }
}

TEST_F(AttributeTest, ValueByPathReadsNodeAttributeOrElement) {
    item->SetAttrText("code", "5");
    item->AppendElement("a")->AppendElement("b")->SetValue(Variant::FromInt32(9));
    EXPECT_EQ(item->GetValueByPath("@code").RawString(), "5");
    EXPECT_EQ(item->GetValueByPath("@absent").Type(), Platform::varString);
    EXPECT_EQ(item->GetValueByPath("@absent").RawString(), "");
    EXPECT_EQ(item->GetValueByPath("a/b").RawInteger(), 9);
    EXPECT_EQ(item->GetValueByPath("a/missing").RawString(), "");
    EXPECT_EQ(item->GetValueByPath("").RawString(), "");  // text of the children: none contributes
    IXmlElement leaf = doc->CreateElement("leaf");
    leaf->SetValue(Variant::FromDouble(2.5));
    EXPECT_EQ(leaf->GetValueByPath("").Type(), Platform::varDouble);
}

TEST_F(AttributeTest, ValueByPathWritesNodeAttributeOrElement) {
    item->AppendElement("a")->AppendElement("b");
    item->SetValueByPath("@code", Variant::FromInt32(1));
    item->SetValueByPath("a/b", Variant::FromString("deep"));
    item->SetValueByPath("missing/x", Variant::FromString("new"));
    EXPECT_EQ(item->GetAttrType("code"), Platform::varInteger);
    EXPECT_EQ(item->SelectElement("a/b")->GetText(), "deep");
    IXmlNodeList children = item->GetChildNodes();
    ASSERT_EQ(children->GetCount(), 2);
    EXPECT_EQ(children->GetItem(1)->GetNodeName(), "missing/x");
    EXPECT_EQ(children->GetItem(1)->GetText(), "new");
    IXmlElement leaf = doc->CreateElement("leaf");
    leaf->SetValueByPath("", Variant::FromInt32(4));
    EXPECT_EQ(leaf->GetValueType(), Platform::varInteger);
}

}  // namespace
}  // namespace TolvexXml
