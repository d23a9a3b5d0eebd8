#include "tools/LogEntryJson.h"

#include "tools/JsonText.h"

namespace TolvexHost {

namespace {

using nlohmann::json;

json AmountJson(const LoggedAmount& amount) { return {{"text", amount.text}, {"hundredths", amount.hundredths}}; }

json TransactionJson(const LoggedTransaction& transaction) {
    json vat = json::array();
    for (const LoggedVat& entry : transaction.vat)
        vat.push_back({{"Rate", AmountJson(entry.rate)}, {"Sum", AmountJson(entry.sum)}});
    json dump = nullptr;
    if (transaction.dump) dump = {{"line", transaction.dump->line}, {"file", transaction.dump->fileName}};
    return {{"line", transaction.line},
            {"CardCode", transaction.cardCode},
            {"Account", transaction.account},
            {"Rest", transaction.rest},
            {"Unit", transaction.unit},
            {"Check", transaction.check},
            {"Date", transaction.date},
            {"Kind", transaction.kind},
            {"Summa", AmountJson(transaction.summa)},
            {"Vat", vat},
            {"Dump", dump}};
}

void AddArguments(json& object, const CardInfoCall& call) {
    object["CardCode"] = call.cardCode;
    object["Rest"] = call.rest;
    object["Unit"] = call.unit;
    object["InpLen"] = call.inpLen;
    object["InpKind"] = call.inpKind;
    object["Output"] = call.output ? json{{"line", call.output->line},
                                          {"OutKind", call.output->outKind},
                                          {"OutLen", call.output->outLen}}
                                   : json(nullptr);
}

void AddArguments(json& object, const TransactionsCall& call) {
    object["Count"] = call.count;
    object["InpLen"] = call.inpLen;
    object["InpKind"] = call.inpKind;
    json transactions = json::array();
    for (const LoggedTransaction& transaction : call.transactions) transactions.push_back(TransactionJson(transaction));
    object["Transactions"] = transactions;
}

void AddArguments(json& object, const CardImageCall& call) { object["CardCode"] = call.cardCode; }

void AddArguments(json& object, const FindEmailCall& call) { object["Email"] = JsonText(call.email); }

}  // namespace

json LogEntryJson(const LogEntry& entry) {
    json object{{"line", entry.line}, {"event", entry.call ? "call" : "load"}};
    if (!entry.call) return object;
    const LoggedCall& call = *entry.call;
    object["dateTime"] = JsonText(call.dateTime);
    object["call"] = ExportName(call.Name());
    object["writtenName"] = call.writtenName;
    std::visit([&](const auto& arguments) { AddArguments(object, arguments); }, call.arguments);
    return object;
}

}  // namespace TolvexHost
