#include "tools/Explain.h"

#include <cstring>
#include <exception>
#include <unordered_map>

#include "base/Exception.h"
#include "base/Format.h"
#include "host/AnswerMatch.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "tools/JsonText.h"

namespace TolvexHost {

namespace {

using Tolvex29::AnswerCall;
using TolvexXml::IXmlNode;
using TolvexXml::TXmlNode;

// Follows the call through its answers: names each answer by its place, keeps
// the reasons answers were passed over, and the last value read, which is the
// one that failed when the call fails.
class ExplainTrace final : public Tolvex29::MatchTrace {
public:
    ExplainTrace(const Tolvex29::Scenario& scenario, const ElementPlaces& places, std::vector<PassedOverAnswer>& misses)
        : places_(places), misses_(&misses) {
        const TolvexXml::IXmlNodeList& answers = scenario.Answers();
        std::size_t position = 0;
        for (std::int32_t index = 0; index < answers->GetCount(); ++index) {
            TXmlNode* node = answers->GetItem(index).Get();
            if (node->GetNodeType() == TolvexXml::ELEMENT_NODE) positions_[node] = ++position;
        }
    }

    void Reading(TXmlNode& node, const char* attribute) override {
        reading_ = &node;
        attribute_ = attribute;
    }
    void PassedOver(TXmlNode& answer, const std::string& reason) override {
        misses_->push_back({Element(answer), reason});
    }

    void CollectInto(std::vector<PassedOverAnswer>& misses) { misses_ = &misses; }

    // An answer by its place; a child of an answer by its answer's place and its name.
    ExplainedElement Element(TXmlNode& node) const {
        const auto found = positions_.find(&node);
        if (found == positions_.end()) {
            TXmlNode* parent = node.ParentNode();
            ExplainedElement element = parent && positions_.count(parent) ? Element(*parent) : ExplainedElement{};
            element.child = node.GetNodeName();
            return element;
        }
        const TextPlace* place = places_.Of(found->second);
        return {found->second, node.GetNodeName(), place ? std::optional<TextPlace>(*place) : std::nullopt, ""};
    }

    // The value whose read was under way, if any.
    std::optional<ExplainedElement> ReadingElement() const {
        return reading_ ? std::optional<ExplainedElement>(Element(*reading_)) : std::nullopt;
    }
    const char* ReadingAttribute() const { return attribute_ ? attribute_ : ""; }

private:
    const ElementPlaces& places_;
    std::unordered_map<const TXmlNode*, std::size_t> positions_;
    std::vector<PassedOverAnswer>* misses_;
    TXmlNode* reading_ = nullptr;
    const char* attribute_ = nullptr;
};

// Runs one call's answering as the export runs it, with a trace.
class Explainer {
public:
    explicit Explainer(const CallRequest& request) : request_(request), places_(ElementPlaces::OfFile(Tolvex29::ScenarioFileName)) {
        explanation_.report.call = request.ExportName();
        explanation_.report.arguments = request.Describe();
    }

    Explanation Run() {
        CallOutcome& outcome = explanation_.report.outcome;
        try {
            outcome.result = request_.call == AnswerCall::CardImage && request_.cardCode == 0 ? BuiltInCardImage()
                                                                                              : AnswerFromScenario();
        } catch (const std::exception& error) {
            const auto* failure = dynamic_cast<const Platform::Exception*>(&error);
            outcome.className = failure ? failure->ClassName() : "exception";
            outcome.message = error.what();
            // FindEmail catches every failure and returns 0.
            outcome.failed = request_.call != AnswerCall::Email;
            outcome.result = outcome.failed ? -1 : 0;
            explanation_.report.output.reset();
        }
        if (record_) {
            explanation_.recordBytes.assign(static_cast<const char*>(record_), recordSize_);
            explanation_.report.record = FieldsOf(request_.call, record_);
        }
        return std::move(explanation_);
    }

private:
    std::int32_t BuiltInCardImage() {
        explanation_.note = std::string("card 0 is answered without reading ") + Tolvex29::ScenarioFileName;
        Keep(image_);
        std::memcpy(image_.FileName, Tolvex29::BuiltInCardImageFile, sizeof Tolvex29::BuiltInCardImageFile);
        return 0;
    }

    // The scenario lives while the trace names its elements, so a failure is
    // placed before it goes.
    std::int32_t AnswerFromScenario() {
        const Tolvex29::Scenario scenario;
        ExplainTrace trace(scenario, places_, explanation_.passedOver);
        try {
            return Answer(scenario, trace);
        } catch (...) {
            explanation_.failedAt = trace.ReadingElement();
            explanation_.failedAttribute = trace.ReadingAttribute();
            throw;
        }
    }

    std::int32_t Answer(const Tolvex29::Scenario& scenario, ExplainTrace& trace) {
        switch (request_.call) {
            case AnswerCall::CardInfo: return CardInfo(scenario, trace);
            case AnswerCall::Transactions: return Transactions(scenario, trace);
            case AnswerCall::CardImage: {
                const IXmlNode match = Tolvex29::MatchCardImage(scenario, request_.cardCode, &trace);
                return match ? Fill(*match, trace, image_) : 1;
            }
            case AnswerCall::Email: break;
        }
        const IXmlNode match = Tolvex29::MatchEmail(scenario, request_.email, &trace);
        return match ? Fill(*match, trace, card_) : 1;
    }

    std::int32_t CardInfo(const Tolvex29::Scenario& scenario, ExplainTrace& trace) {
        const Tolvex29::CardInfoMatch found =
            Tolvex29::MatchCardInfo(scenario, request_.cardCode, request_.inpKind, &trace);
        if (!found.answer) return 1;
        explanation_.pass = found.pass;
        const IXmlNode output = found.answer->SelectElement(Tolvex29::RuleOf(AnswerCall::CardInfo).outputChild);
        Fill(*found.answer, trace, info_);
        if (output) {
            const Tolvex29::OutputInfoValues values = Tolvex29::ReadOutputInfo(*output, &trace);
            const std::string text = output->GetText();
            explanation_.report.output =
                CallOutput{text, static_cast<std::int32_t>(text.size()), static_cast<std::int16_t>(values.outKind)};
        }
        return 0;
    }

    std::int32_t Transactions(const Tolvex29::Scenario& scenario, ExplainTrace& trace) {
        const Tolvex29::TransactionMatcher matcher;
        const char* const outputChild = Tolvex29::RuleOf(AnswerCall::Transactions).outputChild;
        std::int32_t result = 0;
        std::string output;
        for (const TTransactionRec& transaction : request_.transactions) {
            ExplainedTransaction& explained = explanation_.transactions.emplace_back();
            trace.CollectInto(explained.passedOver);
            const IXmlNode match = matcher.Match(scenario, transaction, &trace);
            if (!match) continue;
            explained.answer = trace.Element(*match);
            if (const IXmlNode outXml = match->SelectElement(outputChild)) explained.outXml = output = outXml->GetText();
            explained.result = matcher.Result(*match, &trace);
            if (explained.result != 0) result = 1;
        }
        explanation_.report.output = CallOutput{output, static_cast<std::int32_t>(output.size()), 1};
        return result;
    }

    template <class Record>
    std::int32_t Fill(TXmlNode& answer, ExplainTrace& trace, Record& record) {
        if (!explanation_.answer) explanation_.answer = trace.Element(answer);
        Keep(record);
        Tolvex29::FillRecord(answer, Tolvex29::RuleOf(request_.call), &record, &trace);
        return 0;
    }

    // The record the call writes, zeroed as the tool's calls pass it.
    template <class Record>
    void Keep(Record& record) {
        record_ = &record;
        recordSize_ = sizeof record;
    }

    const CallRequest& request_;
    const ElementPlaces places_;
    Explanation explanation_;
    TCardInfoRec info_{};
    TCardImageRec image_{};
    TEmailCardRec card_{};
    const void* record_ = nullptr;
    std::size_t recordSize_ = 0;
};

std::string ElementText(const ExplainedElement& element, const std::string& fileName) {
    const TextPlace* place = element.place ? &*element.place : nullptr;
    std::string text = PlacePrefix(fileName, place);
    if (element.position == 0) return text + "<" + element.child + ">";
    text += "element " + std::to_string(element.position) + " <" + element.name + ">";
    return element.child.empty() ? text : text + " <" + element.child + ">";
}

std::string PassedOverText(const std::vector<PassedOverAnswer>& misses, const std::string& fileName, const char* indent) {
    std::string text;
    for (const PassedOverAnswer& miss : misses)
        text += indent + ElementText(miss.element, fileName) + ": passed over: " + miss.reason + "\n";
    return text;
}

std::string TransactionText(const TTransactionRec& transaction) {
    return Platform::Format("card %lld, account %lu, kind %u, summa %lld", static_cast<long long>(transaction.CardCode),
                            static_cast<unsigned long>(transaction.Account), static_cast<unsigned>(transaction.Kind),
                            static_cast<long long>(transaction.Summa));
}

nlohmann::ordered_json ElementJson(const ExplainedElement& element) {
    nlohmann::ordered_json json;
    if (element.position != 0) {
        json["position"] = element.position;
        json["name"] = JsonText(element.name);
    }
    if (element.place) {
        json["line"] = element.place->line;
        json["column"] = element.place->column;
    }
    if (!element.child.empty()) json["child"] = JsonText(element.child);
    return json;
}

nlohmann::ordered_json PassedOverJson(const std::vector<PassedOverAnswer>& misses) {
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const PassedOverAnswer& miss : misses) {
        nlohmann::ordered_json item = ElementJson(miss.element);
        item["reason"] = JsonText(miss.reason);
        json.push_back(std::move(item));
    }
    return json;
}

}  // namespace

Explanation ExplainCall(const CallRequest& request) { return Explainer(request).Run(); }

std::string ExplanationText(const Explanation& explanation, const CallRequest& request, const std::string& fileName) {
    std::string text = PassedOverText(explanation.passedOver, fileName, "");
    for (std::size_t i = 0; i < explanation.transactions.size(); ++i) {
        const ExplainedTransaction& transaction = explanation.transactions[i];
        text += "transaction " + std::to_string(i + 1) + " (" + TransactionText(request.transactions[i]) + "):\n";
        text += PassedOverText(transaction.passedOver, fileName, "  ");
        if (!transaction.answer) {
            if (i + 1 < explanation.transactions.size() || !explanation.report.outcome.failed)
                text += "  no answer matches\n";
            continue;
        }
        text += "  " + ElementText(*transaction.answer, fileName) + ": the answer: Result " +
                std::to_string(transaction.result) +
                (transaction.outXml ? ", OutXML " + std::to_string(transaction.outXml->size()) + " bytes" : "") + "\n";
    }
    const CallOutcome& outcome = explanation.report.outcome;
    if (explanation.answer && request.call != AnswerCall::Transactions) {
        text += ElementText(*explanation.answer, fileName) + ": the answer";
        if (explanation.pass != 0) text += explanation.pass == 1 ? " (first pass)" : " (second pass: card code alone)";
        text += "\n";
    } else if (!explanation.answer && outcome.result == 1 && request.call != AnswerCall::Transactions) {
        text += fileName + ": no answer matches\n";
    }
    if (!explanation.note.empty()) text += explanation.note + "\n";
    if (!outcome.className.empty()) {
        text += (explanation.failedAt ? ElementText(*explanation.failedAt, fileName) : fileName) + ": " +
                (explanation.failedAttribute.empty() ? std::string("the file") : "attribute " + explanation.failedAttribute) +
                (outcome.failed ? " fails the call\n" : " fails the call; FindEmail returns 0 instead\n");
    }
    text += ReportText(explanation.report);
    if (outcome.failed && !explanation.report.record.empty())
        text += "  the record as the call leaves it:\n" + FieldsText(explanation.report.record);
    return text;
}

std::string ExplanationJson(const Explanation& explanation, const CallRequest& request, const std::string& fileName) {
    nlohmann::ordered_json json;
    json["file"] = JsonText(fileName);
    const nlohmann::ordered_json report = ReportJsonValue(explanation.report);
    json["call"] = report["call"];
    json["arguments"] = report["arguments"];
    json["passedOver"] = PassedOverJson(explanation.passedOver);
    if (request.call == AnswerCall::Transactions) {
        nlohmann::ordered_json& transactions = json["transactions"] = nlohmann::ordered_json::array();
        for (const ExplainedTransaction& transaction : explanation.transactions) {
            nlohmann::ordered_json item;
            item["passedOver"] = PassedOverJson(transaction.passedOver);
            if (transaction.answer) {
                item["answer"] = ElementJson(*transaction.answer);
                item["answer"]["result"] = transaction.result;
                if (transaction.outXml) item["answer"]["outXml"] = JsonText(*transaction.outXml);
            }
            transactions.push_back(std::move(item));
        }
    } else if (explanation.answer) {
        json["answer"] = ElementJson(*explanation.answer);
        if (explanation.pass != 0) json["answer"]["pass"] = explanation.pass;
    }
    if (!explanation.note.empty()) json["note"] = JsonText(explanation.note);
    const CallOutcome& outcome = explanation.report.outcome;
    if (!outcome.className.empty()) {
        nlohmann::ordered_json& failure = json["failure"];
        failure = {{"class", outcome.className}, {"message", JsonText(outcome.message)}};
        if (explanation.failedAt) failure["element"] = ElementJson(*explanation.failedAt);
        if (!explanation.failedAttribute.empty()) failure["attribute"] = explanation.failedAttribute;
        if (!outcome.failed) failure["caughtBy"] = "FindEmail returns 0";
    }
    if (!outcome.failed) json["result"] = outcome.result;
    // The record as the call leaves it, also after a failure half-way.
    if (!explanation.report.record.empty()) {
        CallReport written = explanation.report;
        written.outcome = CallOutcome{};
        written.outcome.result = 0;
        json["record"] = ReportJsonValue(written)["record"];
    }
    if (report.contains("output")) json["output"] = report["output"];
    return json.dump();
}

}  // namespace TolvexHost
