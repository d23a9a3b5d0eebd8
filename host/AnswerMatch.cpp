#include "host/AnswerMatch.h"

#include <cinttypes>
#include <cstring>

#include "base/Exception.h"
#include "base/Format.h"
#include "base/IntegerText.h"

namespace Tolvex29 {

using TolvexXml::IXmlNode;
using TolvexXml::TXmlNode;

namespace {

const AttributeRule& AttributeOf(const AnswerRule& rule, const char* name) { return *FindAttribute(rule.attributes, name); }

// "CardCode 1002, call has 1001"
std::string Mismatch(const char* attribute, std::int64_t value, const char* whose, std::int64_t own) {
    return Platform::Format("%s %" PRId64 ", %s has %" PRId64, attribute, value, whose, own);
}

// The low bytes of the value, as wide as the field.
void StoreInteger(char* field, std::size_t size, std::int64_t value) {
    switch (size) {
        case 1: {
            const auto narrow = static_cast<std::int8_t>(value);
            std::memcpy(field, &narrow, size);
            return;
        }
        case 2: {
            const auto narrow = static_cast<std::int16_t>(value);
            std::memcpy(field, &narrow, size);
            return;
        }
        case 4: {
            const auto narrow = static_cast<std::int32_t>(value);
            std::memcpy(field, &narrow, size);
            return;
        }
        default: std::memcpy(field, &value, sizeof value); return;
    }
}

}  // namespace

std::int64_t RuleAttr::Int64(TXmlNode& node, std::int64_t callsOwn, MatchTrace* trace) const {
    if (trace) trace->Reading(node, rule_.name);
    switch (rule_.defaultKind) {
        case DefaultKind::None: return Platform::StrToInt64(attr_.Text(node, ""));
        case DefaultKind::CallsOwn: return attr_.Int64(node, callsOwn);
        default: return attr_.Int64(node, rule_.defaultValue);
    }
}

bool RuleAttr::Bool(TXmlNode& node, MatchTrace* trace) const {
    if (trace) trace->Reading(node, rule_.name);
    return attr_.Bool(node, rule_.defaultValue != 0);
}

std::string RuleAttr::Text(TXmlNode& node, MatchTrace* trace) const {
    if (trace) trace->Reading(node, rule_.name);
    return attr_.Text(node, "");
}

CardInfoMatch MatchCardInfo(const Scenario& scenario, std::int64_t cardCode, std::uint16_t inpKind, MatchTrace* trace) {
    const AnswerRule& rule = RuleOf(AnswerCall::CardInfo);
    const RuleAttr cardCodeAttr(AttributeOf(rule, "CardCode"));
    const RuleAttr inpKindAttr(AttributeOf(rule, "InpKind"));
    // One walk: the first answer with both keys wins at once; the first with the
    // card code alone is kept for the second pass.
    IXmlNode cardCodeMatch;
    const IXmlNode match = FindRuleAnswer(scenario, rule, trace, [&](TXmlNode& answer) {
        const std::int64_t code = cardCodeAttr.Int64(answer, trace);
        if (code != cardCode) {
            if (trace) trace->PassedOver(answer, Mismatch("CardCode", code, "call", cardCode));
            return false;
        }
        const std::int64_t kind = inpKindAttr.Int64(answer, trace);
        if (kind == static_cast<std::int64_t>(inpKind)) return true;
        if (!cardCodeMatch) cardCodeMatch = &answer;
        if (trace) trace->PassedOver(answer, Mismatch("InpKind", kind, "call", inpKind) + " (first pass)");
        return false;
    });
    if (match) return {match, 1};
    if (cardCodeMatch) return {cardCodeMatch, 2};
    return {};
}

TransactionMatcher::TransactionMatcher() : result_(AttributeOf(RuleOf(AnswerCall::Transactions), "Result")) {
    for (const AttributeRule& attribute : RuleOf(AnswerCall::Transactions).attributes)
        if (attribute.role == AttributeRole::Key) tests_.emplace_back(attribute);
}

IXmlNode TransactionMatcher::Match(const Scenario& scenario, const TTransactionRec& transaction, MatchTrace* trace) const {
    return FindRuleAnswer(scenario, RuleOf(AnswerCall::Transactions), trace, [&](TXmlNode& answer) {
        const std::string miss = FirstMiss(answer, transaction, trace);
        if (miss.empty()) return true;
        if (trace) trace->PassedOver(answer, miss);
        return false;
    });
}

std::string TransactionMatcher::FirstMiss(TXmlNode& answer, const TTransactionRec& transaction, MatchTrace* trace) const {
    // Account, card code and kind must equal the transaction's own; MinSumma and
    // MaxSumma bound its amount, inclusively.
    const std::int64_t own[] = {static_cast<std::int64_t>(transaction.Account), transaction.CardCode,
                                transaction.Kind, transaction.Summa, transaction.Summa};
    for (std::size_t test = 0; test < tests_.size(); ++test) {
        const std::int64_t value = tests_[test].Int64(answer, own[test], trace);
        const char* name = tests_[test].Rule().name;
        if (test < 3 && value != own[test]) return Mismatch(name, value, "transaction", own[test]);
        if (test == 3 && value > own[test])
            return Platform::Format("%s %" PRId64 ", above the amount %" PRId64, name, value, own[test]);
        if (test == 4 && value < own[test])
            return Platform::Format("%s %" PRId64 ", below the amount %" PRId64, name, value, own[test]);
    }
    return std::string();
}

std::int32_t TransactionMatcher::Result(TXmlNode& answer, MatchTrace* trace) const {
    return static_cast<std::int32_t>(result_.Int64(answer, trace));
}

IXmlNode MatchCardImage(const Scenario& scenario, std::int64_t cardCode, MatchTrace* trace) {
    const AnswerRule& rule = RuleOf(AnswerCall::CardImage);
    const RuleAttr cardCodeAttr(AttributeOf(rule, "CardCode"));
    return FindRuleAnswer(scenario, rule, trace, [&](TXmlNode& answer) {
        const std::int64_t code = cardCodeAttr.Int64(answer, trace);
        if (code == cardCode) return true;
        if (trace) trace->PassedOver(answer, Mismatch("CardCode", code, "call", cardCode));
        return false;
    });
}

IXmlNode MatchEmail(const Scenario& scenario, const std::string& email, MatchTrace* trace) {
    const AnswerRule& rule = RuleOf(AnswerCall::Email);
    const RuleAttr emailAttr(AttributeOf(rule, "email"));
    return FindRuleAnswer(scenario, rule, trace, [&](TXmlNode& answer) {
        const std::string text = emailAttr.Text(answer, trace);
        if (EqualIgnoringAsciiCase(text, email)) return true;
        if (trace) trace->PassedOver(answer, "email " + text + ", call has " + email);
        return false;
    });
}

void FillRecord(TXmlNode& answer, const AnswerRule& rule, void* record, MatchTrace* trace) {
    for (const AttributeRule& attribute : rule.attributes) {
        if (attribute.role != AttributeRole::Field) continue;
        const RuleAttr value(attribute);
        char* const field = static_cast<char*>(record) + attribute.field.offset;
        switch (attribute.kind) {
            case ValueKind::Integer: StoreInteger(field, attribute.field.size, value.Int64(answer, trace)); break;
            case ValueKind::Boolean: *field = value.Bool(answer, trace) ? 1 : 0; break;
            case ValueKind::Text: CopyTextField(field, attribute.textLimit, value.Text(answer, trace)); break;
        }
    }
}

OutputInfoValues ReadOutputInfo(TXmlNode& outputInfo, MatchTrace* trace) {
    const std::vector<AttributeRule>& attributes = RuleOf(AnswerCall::CardInfo).outputAttributes;
    // OutKind first, then OutLen: when both are unreadable, OutKind names the failure.
    OutputInfoValues output;
    output.outKind = RuleAttr(*FindAttribute(attributes, "OutKind")).Int64(outputInfo, trace);
    output.outLen = RuleAttr(*FindAttribute(attributes, "OutLen")).Int64(outputInfo, trace);
    return output;
}

}  // namespace Tolvex29
