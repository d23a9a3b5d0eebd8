// How each call chooses its answer among the children of Root and reads it: the
// one implementation that the exports run, and that tolvex-host explain runs with
// a trace to say why each answer before the chosen one was passed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/AnswerRules.h"
#include "host/Scenario.h"
#include "host/TolvexTypes.h"
#include "xml/TolvexXml.h"

namespace Tolvex29 {

// Watches a call examine the answers. The exports pass none, so nothing of this
// costs them more than a test of the pointer.
class MatchTrace {
public:
    virtual ~MatchTrace() = default;
    // A value of the node is about to be read: when the read fails, this is the
    // element and attribute that fail the call.
    virtual void Reading(TolvexXml::TXmlNode& node, const char* attribute) = 0;
    // The answer was examined and passed over, for the first reason found.
    virtual void PassedOver(TolvexXml::TXmlNode& answer, const std::string& reason) = 0;
};

// An attribute of the rules read as the call reads it: by its name resolved once
// per call (first letter tolerant), with the rule's default.
class RuleAttr {
public:
    explicit RuleAttr(const AttributeRule& rule) : rule_(rule), attr_(rule.name) {}

    const AttributeRule& Rule() const { return rule_; }
    // Integer attributes; a default of the call's own value is passed in.
    std::int64_t Int64(TolvexXml::TXmlNode& node, std::int64_t callsOwn, MatchTrace* trace) const;
    std::int64_t Int64(TolvexXml::TXmlNode& node, MatchTrace* trace) const { return Int64(node, 0, trace); }
    bool Bool(TolvexXml::TXmlNode& node, MatchTrace* trace) const;
    std::string Text(TolvexXml::TXmlNode& node, MatchTrace* trace) const;

private:
    const AttributeRule& rule_;
    AnswerAttr attr_;
};

// The first answer of the call, in document order, that satisfies the test:
// children of Root whose name is one of the rule's element names. The others
// are passed over without a read; the trace hears of those that no call reads
// (a misspelt answer, say), not of the answers of other calls.
template <class Test>
TolvexXml::IXmlNode FindRuleAnswer(const Scenario& scenario, const AnswerRule& rule, MatchTrace* trace, Test&& test) {
    const TolvexXml::IXmlNodeList& answers = scenario.Answers();
    ElementNameSet ruleElements(rule.elementNames);
    for (std::int32_t index = 0; index < answers->GetCount(); ++index) {
        TolvexXml::TXmlNode& answer = *answers->ItemAt(index);
        if (ruleElements.Contains(answer)) {
            if (test(answer)) return TolvexXml::IXmlNode(&answer);
        } else if (trace && answer.GetNodeType() == TolvexXml::ELEMENT_NODE && !RuleForElement(answer.GetNodeName())) {
            trace->PassedOver(answer, "no call reads an element of this name");
        }
    }
    return nullptr;
}

// GetCardInfoEx: the first answer with the card code and the input kind (pass 1),
// else the first with the card code alone (pass 2); no answer (pass 0) when none.
struct CardInfoMatch {
    TolvexXml::IXmlNode answer;
    int pass = 0;
};
CardInfoMatch MatchCardInfo(const Scenario& scenario, std::int64_t cardCode, std::uint16_t inpKind, MatchTrace* trace);

// TransactionsEx: the answer tests of one call, names resolved once for the batch.
class TransactionMatcher {
public:
    TransactionMatcher();
    // The first answer whose tests the transaction passes, or none.
    TolvexXml::IXmlNode Match(const Scenario& scenario, const TTransactionRec& transaction, MatchTrace* trace) const;
    // The matched answer's Result: a value other than 0 makes the call return 1.
    std::int32_t Result(TolvexXml::TXmlNode& answer, MatchTrace* trace) const;

private:
    // The reason the answer fails the transaction's tests, read in the rules'
    // order up to the first that fails; empty when it passes them all.
    std::string FirstMiss(TolvexXml::TXmlNode& answer, const TTransactionRec& transaction, MatchTrace* trace) const;

    std::vector<RuleAttr> tests_;  // Account, CardCode, Kind, MinSumma, MaxSumma
    RuleAttr result_;
};

// GetCardImageEx (for a card other than 0) and FindEmail: the first answer with
// the card code, or with the e-mail address (ASCII case ignored).
TolvexXml::IXmlNode MatchCardImage(const Scenario& scenario, std::int64_t cardCode, MatchTrace* trace);
TolvexXml::IXmlNode MatchEmail(const Scenario& scenario, const std::string& email, MatchTrace* trace);

// Writes the answer's record fields of the rule into the record, in the rules'
// order: a value that fails leaves the fields before it written, those after untouched.
void FillRecord(TolvexXml::TXmlNode& answer, const AnswerRule& rule, void* record, MatchTrace* trace);

// GetCardInfoEx's output: the attributes of OutputInfo and its text.
struct OutputInfoValues {
    std::int64_t outKind = 0;
    std::int64_t outLen = 0;
};
OutputInfoValues ReadOutputInfo(TolvexXml::TXmlNode& outputInfo, MatchTrace* trace);

}  // namespace Tolvex29
