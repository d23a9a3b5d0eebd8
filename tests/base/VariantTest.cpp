// The typed value: its kinds, raw payloads, conversions, comparison and addition.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/CarvedBlocks.h"
#include "base/Exception.h"
#include "base/Variant.h"
#include "base/VariantConvert.h"
#include "platform/LocaleSettings.h"
#include "support/ExpectFailure.h"

namespace Platform {
namespace {

std::string CastMessage(const char* from, const char* to) {
    return std::string("Could not convert variant of type (") + from + ") into type (" + to + ")";
}

struct KindCase {
    const char* name;
    Variant value;
    VarType type;
};

class VariantKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(VariantKinds, CarryTheirTypeCode) { EXPECT_EQ(GetParam().value.Type(), GetParam().type); }

INSTANTIATE_TEST_SUITE_P(
    Factories, VariantKinds,
    ::testing::Values(KindCase{"Empty", Variant(), 0}, KindCase{"Null", Variant::Null(), 1},
                      KindCase{"Smallint", Variant::FromSmallint(-2), 2}, KindCase{"Integer", Variant::FromInt32(3), 3},
                      KindCase{"Single", Variant::FromSingle(1.5f), 4}, KindCase{"Double", Variant::FromDouble(2.5), 5},
                      KindCase{"Currency", Variant::FromCurrency(10000), 6},
                      KindCase{"Date", Variant::FromDateTime(1), 7}, KindCase{"OleStr", Variant::FromWide(u"w"), 8},
                      KindCase{"Boolean", Variant::FromBool(true), 11},
                      KindCase{"ShortInt", Variant::FromShortInt(-5), 16}, KindCase{"Byte", Variant::FromByte(200), 17},
                      KindCase{"Word", Variant::FromWord(60000), 18},
                      KindCase{"LongWord", Variant::FromLongWord(4000000000u), 19},
                      KindCase{"Int64", Variant::FromInt64(-1), 20}, KindCase{"String", Variant::FromString("s"), 256},
                      KindCase{"ByteArray", Variant::FromBytes("ab", 5), 0x2011}),
    [](const auto& info) { return info.param.name; });

TEST(Variant, CopiesItsContent) {
    Variant original = Variant::FromString("abc");
    Variant copy = original;
    original = Variant::FromInt32(1);
    EXPECT_EQ(copy.Type(), varString);
    EXPECT_EQ(copy.RawString(), "abc");
    EXPECT_EQ(original.RawInteger(), 1);
}

// The same type and the same payload, read through the raw accessors.
void ExpectSameValue(const Variant& actual, const Variant& expected) {
    ASSERT_EQ(actual.Type(), expected.Type());
    switch (expected.Type()) {
        case varEmpty:
        case varNull: break;
        case varSingle: EXPECT_EQ(actual.RawSingle(), expected.RawSingle()); break;
        case varDouble:
        case varDate: EXPECT_EQ(actual.RawDouble(), expected.RawDouble()); break;
        case varCurrency: EXPECT_EQ(actual.RawCurrency(), expected.RawCurrency()); break;
        case varBoolean: EXPECT_EQ(actual.RawBool(), expected.RawBool()); break;
        case varString: EXPECT_EQ(actual.RawString(), expected.RawString()); break;
        case varOleStr: EXPECT_EQ(actual.RawWide(), expected.RawWide()); break;
        case varByteArray:
            EXPECT_EQ(actual.RawBytes(), expected.RawBytes());
            EXPECT_EQ(actual.LowBound(), expected.LowBound());
            break;
        default: EXPECT_EQ(actual.RawInteger(), expected.RawInteger()); break;
    }
}

TEST(Variant, CopiesMovesAndAssignsEveryKindOverEveryKind) {
    const std::string longText(100, 'x');
    const Variant values[] = {Variant(), Variant::Null(), Variant::FromInt32(-7), Variant::FromSingle(1.5f),
                              Variant::FromDouble(-2.25), Variant::FromCurrency(123456), Variant::FromDateTime(3.5),
                              Variant::FromBool(true), Variant::FromInt64(INT64_MIN), Variant::FromString("short"),
                              Variant::FromString(longText), Variant::FromWide(u"wide text beyond any inline buffer"),
                              Variant::FromBytes(std::string("\0\1\2", 3), -3)};
    for (const Variant& source : values) {
        Variant copy(source);
        ExpectSameValue(copy, source);
        Variant moved(std::move(copy));
        ExpectSameValue(moved, source);
        for (const Variant& target : values) {
            Variant assigned(target);
            assigned = source;
            ExpectSameValue(assigned, source);
            Variant moveAssigned(target);
            moveAssigned = Variant(source);
            ExpectSameValue(moveAssigned, source);
        }
        Variant self(source);
        const Variant& alias = self;
        self = alias;
        ExpectSameValue(self, source);
    }
}

TEST(Variant, AByteArrayCopyOutlivesItsSourceAndAMovedFromArrayIsEmpty) {
    auto source = std::make_unique<Variant>(Variant::FromBytes(std::string("a\0c", 3), 4));
    const Variant copy(*source);
    const Variant moved(std::move(*source));
    EXPECT_TRUE(source->IsEmpty());
    source.reset();
    for (const Variant* value : {&copy, &moved}) {
        EXPECT_EQ(value->RawBytes(), std::string("a\0c", 3));
        EXPECT_EQ(value->LowBound(), 4);
    }
}

TEST(Variant, KeepsRawPayloads) {
    EXPECT_EQ(Variant::FromBool(true).RawBool(), -1);
    EXPECT_EQ(Variant::FromBool(false).RawBool(), 0);
    EXPECT_EQ(Variant::FromBoolRaw(5).RawBool(), 5);
    EXPECT_EQ(Variant::FromLongWord(4294967295u).RawInteger(), 4294967295);
    EXPECT_EQ(Variant::FromCurrency(12345678).RawCurrency(), 12345678);
    EXPECT_EQ(Variant::FromBytes("xyz", 5).RawBytes(), "xyz");
    EXPECT_EQ(Variant::FromBytes("xyz", 5).LowBound(), 5);
    EXPECT_EQ(Variant::FromSingle(0.25f).RawSingle(), 0.25f);
}

TEST(Variant, RawAccessOfAnotherKindFails) {
    ExpectFailure<EInvalidCast>([] { Variant::FromString("1").RawInteger(); }, "Invalid variant type conversion");
    EXPECT_THROW(Variant::FromInt32(1).RawString(), EInvalidCast);
    EXPECT_THROW(Variant().RawDouble(), EInvalidCast);
    EXPECT_THROW(Variant::FromString("").RawBytes(), EInvalidCast);
}

struct TextCase {
    const char* name;
    Variant value;
    std::string expected;
};

class VariantToString : public ::testing::TestWithParam<TextCase> {};

TEST_P(VariantToString, GivesTheText) { EXPECT_EQ(GetParam().value.ToString(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Kinds, VariantToString,
    ::testing::Values(TextCase{"Empty", Variant(), ""}, TextCase{"String", Variant::FromString("a b"), "a b"},
                      TextCase{"Wide", Variant::FromWide(u"wide"), "wide"},
                      TextCase{"Smallint", Variant::FromSmallint(-32768), "-32768"},
                      TextCase{"LongWord", Variant::FromLongWord(4294967295u), "4294967295"},
                      TextCase{"Int64", Variant::FromInt64(INT64_MIN), "-9223372036854775808"},
                      TextCase{"Byte", Variant::FromByte(255), "255"}, TextCase{"True", Variant::FromBool(true), "True"},
                      TextCase{"False", Variant::FromBool(false), "False"}),
    [](const auto& info) { return info.param.name; });

TEST(VariantToString, FloatTextReadsBackAsTheSameNumber) {
    for (const double number : {1.5, -0.125, 1234.5678, 1e20}) {
        const std::string text = Variant::FromDouble(number).ToString();
        EXPECT_EQ(Variant::FromString(text).ToDouble(), number) << text;
    }
    EXPECT_EQ(Variant::FromString(Variant::FromCurrency(12345678).ToString()).ToDouble(), 1234.5678);
}

TEST(VariantToString, NullAndByteArraysFail) {
    ExpectFailure<EVariantTypeCastError>([] { Variant::Null().ToString(); }, CastMessage("Null", "String"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromBytes("a").ToString(); },
                                         CastMessage("Array Byte", "String"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::Null().ToWide(); }, CastMessage("Null", "OleStr"));
}

struct BoolCase {
    const char* name;
    Variant value;
    bool expected;
};

class VariantToBool : public ::testing::TestWithParam<BoolCase> {};

TEST_P(VariantToBool, GivesTheBoolean) { EXPECT_EQ(GetParam().value.ToBool(), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Kinds, VariantToBool,
    ::testing::Values(BoolCase{"Empty", Variant(), false}, BoolCase{"TrueText", Variant::FromString("True"), true},
                      BoolCase{"FalseText", Variant::FromString("False"), false},
                      BoolCase{"OneText", Variant::FromString("1"), true},
                      BoolCase{"ZeroText", Variant::FromString("0"), false},
                      BoolCase{"LowerTrue", Variant::FromString("true"), true},
                      BoolCase{"UpperFalse", Variant::FromString("FALSE"), false},
                      BoolCase{"WideTrue", Variant::FromWide(u"True"), true},
                      BoolCase{"Integer", Variant::FromInt32(7), true}, BoolCase{"ZeroInteger", Variant::FromInt32(0), false},
                      BoolCase{"Double", Variant::FromDouble(0.5), true},
                      BoolCase{"Boolean", Variant::FromBool(true), true},
                      BoolCase{"RawBoolean", Variant::FromBoolRaw(1), true}),
    [](const auto& info) { return info.param.name; });

TEST(VariantToBool, FailsForOtherTextsAndNull) {
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromString("yes").ToBool(); }, CastMessage("String", "Boolean"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromWide(u"maybe").ToBool(); }, CastMessage("OleStr", "Boolean"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::Null().ToBool(); }, CastMessage("Null", "Boolean"));
}

TEST(VariantToDouble, ConvertsNumbersAndNumericTexts) {
    EXPECT_EQ(Variant().ToDouble(), 0);
    EXPECT_EQ(Variant::FromCurrency(12345678).ToDouble(), 1234.5678);
    EXPECT_EQ(Variant::FromBool(true).ToDouble(), -1);
    EXPECT_EQ(Variant::FromLongWord(4294967295u).ToDouble(), 4294967295.0);
    EXPECT_EQ(Variant::FromString("42").ToDouble(), 42);
    EXPECT_EQ(Variant::FromSingle(0.5f).ToDouble(), 0.5);
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromString("x").ToDouble(); }, CastMessage("String", "Double"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::Null().ToDouble(); }, CastMessage("Null", "Double"));
}

TEST(VariantToDateTime, CountsNumbersAsDays) {
    EXPECT_EQ(Variant::FromInt32(2).ToDateTime(), 2);
    EXPECT_EQ(Variant::FromDouble(1.5).ToDateTime(), 1.5);
    EXPECT_EQ(Variant::FromDateTime(45296.25).ToDateTime(), 45296.25);
    ExpectFailure<EVariantTypeCastError>([] { Variant::Null().ToDateTime(); }, CastMessage("Null", "Date"));
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromString("no date").ToDateTime(); },
                                         CastMessage("String", "Date"));
}

TEST(VariantToDateTime, ReadsBackTheTextOfADate) {
    const Variant date = Variant::FromDateTime(45296.375);  // 2024-01-05 09:00
    EXPECT_EQ(Variant::FromString(date.ToString()).ToDateTime(), 45296.375) << date.ToString();
}

TEST(VariantToInt64, ConvertsNumbersAndTexts) {
    EXPECT_EQ(Variant::FromInt64(INT64_MAX).ToInt64(), INT64_MAX);
    EXPECT_EQ(Variant::FromDouble(2.5).ToInt64(), 2);
    EXPECT_EQ(Variant::FromDouble(3.5).ToInt64(), 4);
    EXPECT_EQ(Variant::FromCurrency(25000).ToInt64(), 2);
    EXPECT_EQ(Variant::FromString("17").ToInt64(), 17);
    EXPECT_THROW(Variant::FromDouble(1e30).ToInt64(), EVariantTypeCastError);
}

struct EqualsCase {
    const char* name;
    Variant a;
    Variant b;
    bool expected;
};

class VariantEquals : public ::testing::TestWithParam<EqualsCase> {};

TEST_P(VariantEquals, ComparesByValue) {
    EXPECT_EQ(GetParam().a.Equals(GetParam().b), GetParam().expected);
    EXPECT_EQ(GetParam().b.Equals(GetParam().a), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, VariantEquals,
    ::testing::Values(
        EqualsCase{"BothEmpty", Variant(), Variant(), true}, EqualsCase{"BothNull", Variant::Null(), Variant::Null(), true},
        EqualsCase{"EmptyAndNull", Variant(), Variant::Null(), false},
        EqualsCase{"EmptyAndEmptyText", Variant(), Variant::FromString(""), false},
        EqualsCase{"NullAndNumber", Variant::Null(), Variant::FromInt32(0), false},
        EqualsCase{"SameText", Variant::FromString("abc"), Variant::FromString("abc"), true},
        EqualsCase{"TextCaseMatters", Variant::FromString("abc"), Variant::FromString("ABC"), false},
        EqualsCase{"TextAndWide", Variant::FromString("abc"), Variant::FromWide(u"abc"), true},
        EqualsCase{"TextAndNumber", Variant::FromString("42"), Variant::FromInt32(42), true},
        EqualsCase{"TextAndOtherNumber", Variant::FromString("42"), Variant::FromInt64(43), false},
        EqualsCase{"IntegerKinds", Variant::FromByte(7), Variant::FromInt64(7), true},
        EqualsCase{"IntegerAndDouble", Variant::FromInt32(2), Variant::FromDouble(2.0), true},
        EqualsCase{"CurrencyAndDouble", Variant::FromCurrency(15000), Variant::FromDouble(1.5), true},
        EqualsCase{"Booleans", Variant::FromBool(true), Variant::FromBoolRaw(1), true},
        EqualsCase{"BooleanAndText", Variant::FromBool(false), Variant::FromString("False"), true},
        EqualsCase{"SameBytes", Variant::FromBytes("ab", 0), Variant::FromBytes("ab", 3), true},
        EqualsCase{"OtherBytes", Variant::FromBytes("ab"), Variant::FromBytes("ac"), false}),
    [](const auto& info) { return info.param.name; });

TEST(VariantEquals, FailsWhenTheValuesCannotBeCompared) {
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromString("abc").Equals(Variant::FromInt32(1)); },
                                         CastMessage("String", "Double"));
    EXPECT_THROW(Variant::FromBytes("1").Equals(Variant::FromInt32(1)), EVariantTypeCastError);
}

TEST(VariantAdd, JoinsTexts) {
    const Variant joined = Variant::FromString("$").Add(Variant::FromString("FF"));
    EXPECT_EQ(joined.Type(), varString);
    EXPECT_EQ(joined.RawString(), "$FF");
    const Variant wide = Variant::FromString("$").Add(Variant::FromWide(u"1A"));
    EXPECT_EQ(wide.Type(), varOleStr);
    EXPECT_EQ(wide.RawWide(), u"$1A");
    EXPECT_EQ(Variant::FromString("$").Add(Variant()).RawString(), "$");
}

TEST(VariantAdd, AddsNumbers) {
    EXPECT_EQ(Variant::FromInt32(2).Add(Variant::FromInt64(3)).RawInteger(), 5);
    EXPECT_EQ(Variant::FromInt64(INT64_MAX).Add(Variant::FromInt32(1)).Type(), varDouble);
    // A text is read as a number in the regional settings' form.
    const std::string oneAndAHalf = std::string("1") + ReadLocaleSettings().decimalSeparator + "5";
    EXPECT_EQ(Variant::FromString(oneAndAHalf).Add(Variant::FromInt32(1)).ToDouble(), 2.5);
    EXPECT_TRUE(Variant::FromString("$").Add(Variant::Null()).IsNull());
}

TEST(VariantAdd, ATextThatIsNoNumberCannotJoinANumber) {
    ExpectFailure<EVariantTypeCastError>([] { Variant::FromString("$").Add(Variant::FromInt32(255)); },
                                         CastMessage("String", "Double"));
    EXPECT_THROW(Variant::FromString("$").Add(Variant::FromBytes("a")), EVariantTypeCastError);
}

TEST(ChangeVariantType, RejectsTargetsItDoesNotServe) {
    ExpectFailure<EVariantTypeCastError>([] { ChangeVariantType(Variant::FromInt32(1), varCurrency); },
                                         CastMessage("Integer", "Currency"));
}

// --- texts carved from blocks ---

class VariantCarvedText : public ::testing::Test {
protected:
    // A carved text of the bytes, from a carver that has left its block.
    Variant Carved(std::string_view text) {
        CarvedBlocks blocks;
        char* bytes = static_cast<char*>(blocks.Allocate(text.size()));
        std::memcpy(bytes, text.data(), text.size());
        return Variant::FromCarvedString(std::string_view(bytes, text.size()));
    }
    std::int64_t NewBlocks() const { return CarvedBlocks::BlocksInUse() - blocksBefore_; }

private:
    const std::int64_t blocksBefore_ = CarvedBlocks::BlocksInUse();
};

TEST_F(VariantCarvedText, IsATextLikeAnyOther) {
    const Variant carved = Carved("12 apples");
    EXPECT_EQ(carved.Type(), varString);
    EXPECT_TRUE(carved.IsText());
    EXPECT_EQ(carved.RawString(), "12 apples");
    EXPECT_EQ(carved.ToString(), "12 apples");
    EXPECT_TRUE(carved.Equals(Variant::FromString("12 apples")));
    EXPECT_EQ(carved.Add(Variant::FromString("!")).RawString(), "12 apples!");
    EXPECT_EQ(Carved("42").ToInt64(), 42);
    EXPECT_TRUE(Carved("True").ToBool());
}

TEST_F(VariantCarvedText, ACopyOwnsItsBytesAndOutlivesTheBlock) {
    Variant copy;
    Variant assigned = Variant::FromInt32(1);
    {
        const Variant carved = Carved("kept beyond its block");
        copy = carved;
        assigned = Variant(carved);
        EXPECT_EQ(NewBlocks(), 1);
    }
    EXPECT_EQ(NewBlocks(), 0);
    EXPECT_EQ(copy.RawString(), "kept beyond its block");
    EXPECT_EQ(assigned.RawString(), "kept beyond its block");
}

TEST_F(VariantCarvedText, AMoveTakesTheBytesAlongAndLeavesEmpty) {
    Variant source = Carved("moving");
    Variant target = std::move(source);
    EXPECT_TRUE(source.IsEmpty());  // a moved-from carved text is Empty
    EXPECT_EQ(target.RawString(), "moving");
    Variant assigned = Variant::FromString("earlier text");
    assigned = std::move(target);
    EXPECT_TRUE(target.IsEmpty());
    EXPECT_EQ(assigned.RawString(), "moving");
    EXPECT_EQ(NewBlocks(), 1);
    assigned = Variant::FromInt32(3);
    EXPECT_EQ(NewBlocks(), 0);
}

TEST_F(VariantCarvedText, GivenToABatchTheValueIsEmptyAndTheBlockGoesWithTheBatch) {
    Variant carved = Carved("batched");
    Variant number = Variant::FromInt32(7);
    {
        CarvedFreeBatch batch;
        carved.GiveCarvedTextTo(batch);
        number.GiveCarvedTextTo(batch);
        EXPECT_TRUE(carved.IsEmpty());
        EXPECT_EQ(number.RawInteger(), 7);
        EXPECT_EQ(NewBlocks(), 1);
    }
    EXPECT_EQ(NewBlocks(), 0);
}

}  // namespace
}  // namespace Platform
