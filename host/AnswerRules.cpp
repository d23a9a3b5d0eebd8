#include "host/AnswerRules.h"

#include <cstddef>
#include <limits>

#include "host/TolvexTypes.h"

namespace Tolvex29 {

namespace {

constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();

// A record field by its name in the record type.
#define TOLVEX_FIELD(Record, Field) RecordField{#Field, offsetof(Record, Field), sizeof(Record::Field)}

// The range of a host-side value, from its type.
template <class T>
constexpr std::int64_t LowOf() { return static_cast<std::int64_t>(std::numeric_limits<T>::min()); }
template <class T>
constexpr std::int64_t HighOf() { return static_cast<std::int64_t>(std::numeric_limits<T>::max()); }

AttributeRule IntegerKey(const char* name, std::int64_t low = Int64Min, std::int64_t high = Int64Max) {
    return {name, ValueKind::Integer, AttributeRole::Key, DefaultKind::Value, 0, {}, 0, low, high};
}
AttributeRule TransactionKey(const char* name, std::int64_t low, std::int64_t high) {
    return {name, ValueKind::Integer, AttributeRole::Key, DefaultKind::CallsOwn, 0, {}, 0, low, high};
}
AttributeRule AmountBound(const char* name, std::int64_t defaultValue) {
    return {name, ValueKind::Integer, AttributeRole::Key, DefaultKind::Value, defaultValue, {}, 0, Int64Min, Int64Max};
}
AttributeRule IntegerField(const char* name, RecordField field, DefaultKind defaultKind = DefaultKind::Value) {
    return {name, ValueKind::Integer, AttributeRole::Field, defaultKind, 0, field, 0, Int64Min, Int64Max};
}
AttributeRule BooleanField(const char* name, RecordField field) {
    return {name, ValueKind::Boolean, AttributeRole::Field, DefaultKind::Value, 0, field, 0, Int64Min, Int64Max};
}
// A text field keeps at most `limit` characters and a NUL.
AttributeRule TextField(const char* name, RecordField field, std::size_t limit) {
    return {name, ValueKind::Text, AttributeRole::Field, DefaultKind::Value, 0, field, limit, Int64Min, Int64Max};
}
AttributeRule TextField(const char* name, RecordField field) { return TextField(name, field, field.size - 1); }

std::vector<AnswerRule> MakeRules() {
    std::vector<AnswerRule> rules;
    rules.push_back(
        {AnswerCall::CardInfo,
         "GetCardInfoEx",
         {"GetCardInfoL", "GetCardInfoEx"},
         {IntegerKey("CardCode"), IntegerKey("InpKind", LowOf<std::uint16_t>(), HighOf<std::uint16_t>()),
          IntegerField("Account", TOLVEX_FIELD(TCardInfoRec, Account)),
          BooleanField("Deleted", TOLVEX_FIELD(TCardInfoRec, Deleted)),
          IntegerField("Discount", TOLVEX_FIELD(TCardInfoRec, Discount)),
          IntegerField("Bonus", TOLVEX_FIELD(TCardInfoRec, Bonus)),
          IntegerField("Summa", TOLVEX_FIELD(TCardInfoRec, Summa)),
          IntegerField("DiscLimit", TOLVEX_FIELD(TCardInfoRec, DiscLimit)),
          TextField("Holder", TOLVEX_FIELD(TCardInfoRec, Holder), 40),
          IntegerField("Sum2", TOLVEX_FIELD(TCardInfoRec, Sum2)),
          IntegerField("Sum3", TOLVEX_FIELD(TCardInfoRec, Sum3)),
          IntegerField("Sum4", TOLVEX_FIELD(TCardInfoRec, Sum4)),
          IntegerField("Sum5", TOLVEX_FIELD(TCardInfoRec, Sum5)),
          IntegerField("Sum6", TOLVEX_FIELD(TCardInfoRec, Sum6)),
          IntegerField("Sum7", TOLVEX_FIELD(TCardInfoRec, Sum7)),
          IntegerField("Sum8", TOLVEX_FIELD(TCardInfoRec, Sum8)),
          IntegerField("Unpay", TOLVEX_FIELD(TCardInfoRec, Unpay)),
          BooleanField("Seize", TOLVEX_FIELD(TCardInfoRec, Seize)),
          BooleanField("Locked", TOLVEX_FIELD(TCardInfoRec, Locked)),
          TextField("WhyLock", TOLVEX_FIELD(TCardInfoRec, WhyLock)),
          TextField("DopInfo", TOLVEX_FIELD(TCardInfoRec, DopInfo)),
          TextField("ScrMessage", TOLVEX_FIELD(TCardInfoRec, ScrMessage)),
          TextField("PrnMessage", TOLVEX_FIELD(TCardInfoRec, PrnMessage))},
         "OutputInfo",
         // OutKind is read before OutLen: when both are unreadable, OutKind names the failure.
         {{"OutKind", ValueKind::Integer, AttributeRole::Output, DefaultKind::Value, 0,
           RecordField{"OutKind", 0, sizeof(std::int16_t)}, 0, Int64Min, Int64Max},
          {"OutLen", ValueKind::Integer, AttributeRole::Output, DefaultKind::Value, 0, {}, 0, Int64Min, Int64Max}}});
    rules.push_back(
        {AnswerCall::Transactions,
         "TransactionsEx",
         {"TransactionsEx"},
         {TransactionKey("Account", LowOf<std::uint32_t>(), HighOf<std::uint32_t>()),
          TransactionKey("CardCode", Int64Min, Int64Max),
          TransactionKey("Kind", LowOf<std::uint8_t>(), HighOf<std::uint8_t>()), AmountBound("MinSumma", Int64Min),
          AmountBound("MaxSumma", Int64Max),
          {"Result", ValueKind::Integer, AttributeRole::Result, DefaultKind::Value, 0,
           RecordField{"Result", 0, sizeof(std::int32_t)}, 0, Int64Min, Int64Max}},
         "OutXML",
         {}});
    rules.push_back({AnswerCall::CardImage,
                     "GetCardImageEx",
                     {"GetCardImageL", "GetCardImageEx"},
                     {IntegerKey("CardCode"), TextField("FileName", TOLVEX_FIELD(TCardImageRec, FileName))},
                     nullptr,
                     {}});
    rules.push_back({AnswerCall::Email,
                     "FindEmail",
                     {"FindEmail"},
                     {{"email", ValueKind::Text, AttributeRole::Key, DefaultKind::Value, 0, {}, 0, Int64Min, Int64Max},
                      IntegerField("Account", TOLVEX_FIELD(TEmailCardRec, Account)),
                      IntegerField("CardCode", TOLVEX_FIELD(TEmailCardRec, CardCode), DefaultKind::None),
                      TextField("Name", TOLVEX_FIELD(TEmailCardRec, Name))},
                     nullptr,
                     {}});
    return rules;
}

#undef TOLVEX_FIELD

}  // namespace

const std::vector<AnswerRule>& AnswerRules() {
    static const std::vector<AnswerRule> rules = MakeRules();
    return rules;
}

const AnswerRule& RuleOf(AnswerCall call) { return AnswerRules()[static_cast<std::size_t>(call)]; }

const AnswerRule* RuleForElement(std::string_view elementName) {
    for (const AnswerRule& rule : AnswerRules())
        for (const std::string_view name : rule.elementNames)
            if (EqualIgnoringAsciiCase(elementName, name)) return &rule;
    return nullptr;
}

const AttributeRule* FindAttribute(const std::vector<AttributeRule>& rules, std::string_view name) {
    for (const AttributeRule& rule : rules)
        if (name == rule.name) return &rule;
    return nullptr;
}

bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i)
        if (FoldAsciiLetter(left[i]) != FoldAsciiLetter(right[i])) return false;
    return true;
}

}  // namespace Tolvex29
