#include "tools/LogEvents.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace TolvexHost {

namespace {

const std::array<const char*, 5> SubjectNames = {"GetCardInfoEx", "TransactionsEx", "GetCardImageEx", "FindEmail",
                                                 "transaction"};

FieldValue Number(std::int64_t value) { return {std::to_string(value), std::to_string(value)}; }

// An amount as an expectation writes it, with a decimal point whatever separator
// the log's regional settings gave it: "123.45", "-0.50".
std::string AmountText(std::int64_t hundredths) {
    const std::uint64_t magnitude =
        hundredths < 0 ? 0 - static_cast<std::uint64_t>(hundredths) : static_cast<std::uint64_t>(hundredths);
    const std::uint64_t cents = magnitude % 100;
    std::string text = hundredths < 0 ? "-" : "";
    return text.append(std::to_string(magnitude / 100)).append(cents < 10 ? ".0" : ".").append(std::to_string(cents));
}

FieldValue Amount(const LoggedAmount& amount) {
    return {std::to_string(amount.hundredths), AmountText(amount.hundredths)};
}

FieldValue Vat(const LoggedVat& vat) {
    std::string key = std::to_string(vat.rate.hundredths);
    key.append(":").append(std::to_string(vat.sum.hundredths));
    std::string shown = AmountText(vat.rate.hundredths);
    shown.append(":").append(AmountText(vat.sum.hundredths));
    return {key, shown};
}

std::optional<FieldValue> CardInfoField(const CardInfoCall& call, Field field) {
    switch (field) {
        case Field::Card: return Number(call.cardCode);
        case Field::Rest: return Number(call.rest);
        case Field::Unit: return Number(call.unit);
        case Field::InpLen: return Number(call.inpLen);
        case Field::InpKind: return Number(call.inpKind);
        case Field::OutKind: return call.output ? std::optional(Number(call.output->outKind)) : std::nullopt;
        case Field::OutLen: return call.output ? std::optional(Number(call.output->outLen)) : std::nullopt;
        default: return std::nullopt;
    }
}

std::optional<FieldValue> TransactionsField(const TransactionsCall& call, Field field) {
    switch (field) {
        case Field::Count: return Number(call.count);
        case Field::InpLen: return Number(call.inpLen);
        case Field::InpKind: return Number(call.inpKind);
        default: return std::nullopt;
    }
}

std::optional<FieldValue> TransactionField(const LoggedTransaction& transaction, Field field) {
    switch (field) {
        case Field::Card: return Number(transaction.cardCode);
        case Field::Account: return Number(transaction.account);
        case Field::Rest: return Number(transaction.rest);
        case Field::Unit: return Number(transaction.unit);
        case Field::Check: return Number(transaction.check);
        case Field::Date: return FieldValue{transaction.date, transaction.date};
        case Field::Kind: return Number(transaction.kind);
        case Field::Summa: return Amount(transaction.summa);
        case Field::Vat1: return Vat(transaction.vat[0]);
        case Field::Vat2: return Vat(transaction.vat[1]);
        case Field::Vat3: return Vat(transaction.vat[2]);
        default: return std::nullopt;
    }
}

std::string Trimmed(const std::string& line) {
    const std::size_t start = line.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : line.substr(start);
}

}  // namespace

const char* SubjectName(Subject subject) { return SubjectNames[static_cast<std::size_t>(subject)]; }

std::optional<Subject> FindSubject(const std::string& name) {
    for (std::size_t index = 0; index < SubjectNames.size(); ++index)
        if (name == SubjectNames[index]) return static_cast<Subject>(index);
    return std::nullopt;
}

const std::vector<SubjectField>& SubjectFields(Subject subject) {
    static const std::array<std::vector<SubjectField>, 5> fields = {{
        {{Field::Card, "card", ValueForm::Integer},
         {Field::Rest, "rest", ValueForm::Integer},
         {Field::Unit, "unit", ValueForm::Integer},
         {Field::InpLen, "inplen", ValueForm::Integer},
         {Field::InpKind, "inpkind", ValueForm::Integer},
         {Field::OutKind, "outkind", ValueForm::Integer},
         {Field::OutLen, "outlen", ValueForm::Integer}},
        {{Field::Count, "count", ValueForm::Integer},
         {Field::InpLen, "inplen", ValueForm::Integer},
         {Field::InpKind, "inpkind", ValueForm::Integer}},
        {{Field::Card, "card", ValueForm::Integer}},
        {{Field::Email, "email", ValueForm::Text}},
        {{Field::Card, "card", ValueForm::Integer},
         {Field::Account, "account", ValueForm::Account},
         {Field::Rest, "rest", ValueForm::Integer},
         {Field::Unit, "unit", ValueForm::Integer},
         {Field::Check, "check", ValueForm::Integer},
         {Field::Date, "date", ValueForm::Date},
         {Field::Kind, "kind", ValueForm::Integer},
         {Field::Summa, "summa", ValueForm::Amount},
         {Field::Vat1, "vat1", ValueForm::Vat},
         {Field::Vat2, "vat2", ValueForm::Vat},
         {Field::Vat3, "vat3", ValueForm::Vat}},
    }};
    return fields[static_cast<std::size_t>(subject)];
}

std::vector<LogEvent> LogEvents(const LogReading& log) {
    std::vector<LogEvent> events;
    for (const LogEntry& entry : log.entries) {
        if (!entry.call) continue;
        const LoggedCall& call = *entry.call;
        events.push_back({static_cast<Subject>(call.Name()), entry.line, call.text, &call, nullptr});
        if (const auto* batch = std::get_if<TransactionsCall>(&call.arguments))
            for (const LoggedTransaction& transaction : batch->transactions)
                events.push_back({Subject::Transaction, transaction.line, Trimmed(transaction.text), &call, &transaction});
    }
    return events;
}

std::optional<FieldValue> EventField(const LogEvent& event, Field field) {
    if (event.transaction) return TransactionField(*event.transaction, field);
    const CallArguments& arguments = event.call->arguments;
    if (const auto* call = std::get_if<CardInfoCall>(&arguments)) return CardInfoField(*call, field);
    if (const auto* call = std::get_if<TransactionsCall>(&arguments)) return TransactionsField(*call, field);
    if (const auto* call = std::get_if<CardImageCall>(&arguments))
        return field == Field::Card ? std::optional(Number(call->cardCode)) : std::nullopt;
    const auto& email = std::get<FindEmailCall>(arguments).email;
    return field == Field::Email ? std::optional(FieldValue{email, email}) : std::nullopt;
}

std::string EventFieldsText(const LogEvent& event, const std::vector<Field>& leftOut) {
    std::string text;
    for (const SubjectField& known : SubjectFields(event.subject)) {
        if (std::find(leftOut.begin(), leftOut.end(), known.field) != leftOut.end()) continue;
        const std::optional<FieldValue> value = EventField(event, known.field);
        if (!value || (known.form == ValueForm::Vat && value->key == "0:0")) continue;
        if (!text.empty()) text += ' ';
        text.append(known.name).append("=").append(QuotedWhenNeeded(value->shown));
    }
    return text;
}

std::string QuotedWhenNeeded(const std::string& value) {
    if (!value.empty() && value.find_first_of(" \t\"'\\,#") == std::string::npos) return value;
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace TolvexHost
