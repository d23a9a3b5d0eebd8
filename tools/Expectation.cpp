#include "tools/Expectation.h"

#include <algorithm>
#include <limits>

#include "tools/ArgumentValues.h"

namespace TolvexHost {

namespace {

using Tolvex29::AttributeRole;
using Tolvex29::AttributeRule;
using Tolvex29::ValueKind;

constexpr const char* Ellipsis = "...";

Expectation Expect(Expectation::Kind kind, std::string name = {}, std::string value = {}) {
    Expectation expectation;
    expectation.kind = kind;
    expectation.name = std::move(name);
    expectation.value = std::move(value);
    return expectation;
}

const AttributeRule* FieldRule(Tolvex29::AnswerCall call, const std::string& name) {
    const AttributeRule* rule = Tolvex29::FindAttribute(Tolvex29::RuleOf(call).attributes, name);
    return rule && rule->role == AttributeRole::Field ? rule : nullptr;
}

std::string FieldNames(Tolvex29::AnswerCall call) {
    std::string names;
    for (const AttributeRule& rule : Tolvex29::RuleOf(call).attributes)
        if (rule.role == AttributeRole::Field) names.append(names.empty() ? "" : ", ").append(rule.name);
    return names.empty() ? "it has no record" : names;
}

[[noreturn]] void NotAField(Tolvex29::AnswerCall call, const std::string& word) {
    std::string message = "\"";
    message.append(word).append("\" is not a field of the ").append(Tolvex29::RuleOf(call).callName);
    throw UsageError(message.append(" record (").append(FieldNames(call)).append(")"));
}

// The value as the report shows the field: decimal digits, true/false, or the text.
std::string FieldValue(const AttributeRule& rule, const std::string& text) {
    if (rule.kind == ValueKind::Text) return text;
    if (rule.kind == ValueKind::Boolean) {
        if (text == "true" || text == "1") return "true";
        if (text == "false" || text == "0") return "false";
        throw UsageError(std::string(rule.name).append(": \"").append(text).append("\" is not true, false, 1 or 0"));
    }
    const std::int64_t number =
        ParseInteger(rule.name, text, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
    return std::to_string(number);
}

void NeedWords(const std::vector<std::string>& words, std::size_t low, std::size_t high, const std::string& form) {
    if (words.size() < low || words.size() > high) throw UsageError(std::string("expect ").append(form));
}

Expectation ParseOutput(const std::vector<std::string>& words) {
    Expectation expectation = Expect(Expectation::Kind::Output);
    std::size_t next = 1;
    if (next < words.size() && words[next] == "kind") {
        if (++next == words.size()) throw UsageError("expect output kind needs a number");
        expectation.outputKind = static_cast<std::int16_t>(ParseInteger("output kind", words[next++], INT16_MIN, INT16_MAX));
    }
    if (next < words.size()) {
        expectation.value = words[next++];
        expectation.hasValue = true;
    }
    if (next != words.size() || next == 1) throw UsageError("expect output [kind N] [\"TEXT\"]");
    return expectation;
}

Expectation ParseFailure(const std::vector<std::string>& words) {
    NeedWords(words, 2, 3, "failure CLASS [\"MESSAGE\" or \"BEGINNING...\"]");
    Expectation expectation = Expect(Expectation::Kind::Failure, words[1]);
    if (words.size() == 3) {
        expectation.value = words[2];
        expectation.hasValue = true;
        const std::string ellipsis = Ellipsis;
        expectation.prefix = expectation.value.size() >= ellipsis.size() &&
                             expectation.value.compare(expectation.value.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0;
        if (expectation.prefix) expectation.value.resize(expectation.value.size() - ellipsis.size());
    }
    return expectation;
}

std::string ReportedField(const ReportField& field) {
    return field.name + " " + (field.kind == ReportField::Text ? Quoted(field.value) : field.value);
}

std::string Outcome(const CallReport& report) {
    if (report.outcome.failed) return "failure " + report.outcome.className + " " + Quoted(report.outcome.message);
    return "result " + std::to_string(report.outcome.result);
}

const ReportField* FindField(const CallReport& report, const std::string& name) {
    for (const ReportField& field : report.record)
        if (field.name == name) return &field;
    return nullptr;
}

std::string Got(const Expectation& expectation, const CallReport& report) {
    switch (expectation.kind) {
        case Expectation::Kind::Result:
        case Expectation::Kind::Failure: return Outcome(report);
        case Expectation::Kind::Output: {
            if (report.outcome.failed) return Outcome(report);
            if (!report.output) return "no output";
            return "output kind " + std::to_string(report.output->kind) + " " + Quoted(report.output->text);
        }
        case Expectation::Kind::Field:
        case Expectation::Kind::Untouched: break;
    }
    if (const ReportField* field = FindField(report, expectation.name)) return ReportedField(*field);
    if (report.outcome.failed) return Outcome(report);
    return expectation.kind == Expectation::Kind::Untouched ? expectation.name + " written"
                                                            : "no record written (" + Outcome(report) + ")";
}

bool Met(const Expectation& expectation, const CallReport& report) {
    switch (expectation.kind) {
        case Expectation::Kind::Result:
            return !report.outcome.failed && std::to_string(report.outcome.result) == expectation.value;
        case Expectation::Kind::Field: {
            const ReportField* field = FindField(report, expectation.name);
            return field && field->value == expectation.value;
        }
        case Expectation::Kind::Output:
            return !report.outcome.failed && report.output &&
                   (!expectation.outputKind || *expectation.outputKind == report.output->kind) &&
                   (!expectation.hasValue || expectation.value == report.output->text);
        case Expectation::Kind::Failure:
            return report.outcome.failed && report.outcome.className == expectation.name &&
                   (!expectation.hasValue || (expectation.prefix ? report.outcome.message.rfind(expectation.value, 0) == 0
                                                                 : report.outcome.message == expectation.value));
        case Expectation::Kind::Untouched:
            return std::find(report.untouched.begin(), report.untouched.end(), expectation.name) != report.untouched.end();
    }
    return false;
}

}  // namespace

std::vector<Expectation> ParseExpectation(const std::vector<std::string>& words, Tolvex29::AnswerCall call) {
    if (words.empty()) throw UsageError("expect what? (result, output, failure, untouched or a record field)");
    const std::string& what = words[0];
    if (what == "result") {
        NeedWords(words, 2, 2, "result CODE");
        const std::int64_t code = ParseInteger("result", words[1], INT32_MIN, INT32_MAX);
        return {Expect(Expectation::Kind::Result, {}, std::to_string(code))};
    }
    if (what == "output") return {ParseOutput(words)};
    if (what == "failure") return {ParseFailure(words)};
    if (what == "untouched") {
        NeedWords(words, 2, std::numeric_limits<std::size_t>::max(), "untouched FIELD...");
        std::vector<Expectation> expectations;
        for (auto word = words.begin() + 1; word != words.end(); ++word) {
            if (!FieldRule(call, *word)) NotAField(call, *word);
            expectations.push_back(Expect(Expectation::Kind::Untouched, *word));
        }
        return expectations;
    }
    const AttributeRule* rule = FieldRule(call, what);
    if (!rule) {
        if (words.size() == 2) NotAField(call, what);
        throw UsageError("\"" + what + "\" is not an expectation (result, output, failure, untouched or FIELD VALUE)");
    }
    NeedWords(words, 2, 2, what + (rule->kind == ValueKind::Text ? " \"TEXT\"" : " VALUE"));
    Expectation expectation = Expect(Expectation::Kind::Field, what, FieldValue(*rule, words[1]));
    expectation.textField = rule->kind == ValueKind::Text;
    return {expectation};
}

std::string Describe(const Expectation& expectation) {
    switch (expectation.kind) {
        case Expectation::Kind::Result: return "result " + expectation.value;
        case Expectation::Kind::Field:
            return expectation.name + " " + (expectation.textField ? Quoted(expectation.value) : expectation.value);
        case Expectation::Kind::Output: {
            std::string text = "output";
            if (expectation.outputKind) text.append(" kind ").append(std::to_string(*expectation.outputKind));
            if (expectation.hasValue) text.append(" ").append(Quoted(expectation.value));
            return text;
        }
        case Expectation::Kind::Failure: {
            std::string text = "failure " + expectation.name;
            if (expectation.hasValue)
                text.append(" ").append(Quoted(expectation.prefix ? expectation.value + Ellipsis : expectation.value));
            return text;
        }
        case Expectation::Kind::Untouched: break;
    }
    return expectation.name + " untouched";
}

std::optional<std::string> Unmet(const Expectation& expectation, const CallReport& report) {
    if (Met(expectation, report)) return std::nullopt;
    return "expected " + Describe(expectation) + ", got " + Got(expectation, report);
}

}  // namespace TolvexHost
