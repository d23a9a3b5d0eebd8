#include "tools/HostCalls.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>

#include "tools/ArgumentValues.h"
#include "tools/CommandLine.h"

namespace TolvexHost {

const char* const CallUsage =
    "  card-info CODE [--rest N] [--unit N] [--inp-kind N] [INPUT]\n"
    "  transactions [--tx FIELD=VALUE,...]... [--inp-kind N] [INPUT]\n"
    "      fields: card, account, kind, summa, rest, date, unit, check, vat1, vat2, vat3\n"
    "      (summa 123.45; date 2026-12-08; vatN RATE:SUM, e.g. vat1=20.00:20.58)\n"
    "  card-image CODE\n"
    "  find-email EMAIL\n"
    "  INPUT: --input TEXT | --input-file FILE | --input-hex HEX\n";

namespace {

constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();

// The input options shared by card-info and transactions; true when the option was one.
bool TakeInputOption(const std::string& option, Arguments& arguments, CallRequest& request, bool& inputGiven) {
    if (option == "--inp-kind") {
        request.inpKind = static_cast<std::uint16_t>(ParseInteger(option, arguments.Value(option), 0, 0xFFFF));
        return true;
    }
    if (option != "--input" && option != "--input-file" && option != "--input-hex") return false;
    if (inputGiven) throw UsageError(arguments.Command() + ": give the input once");
    inputGiven = true;
    const std::string value = arguments.Value(option);
    if (option == "--input")
        request.input = value;
    else if (option == "--input-hex")
        request.input = ParseHexBytes(option, value);
    else
        request.inputFile = value;
    return true;
}

std::int64_t ParseCardCode(Arguments& arguments) {
    return ParseInteger("card code", arguments.Positional("card code"), Int64Min, Int64Max);
}

// The output text an export handed back, copied at once: it lives only until the
// next call of the same export.
std::optional<CallOutput> CopyOutput(const char* outBuf, std::int32_t outLen, std::int16_t outKind) {
    if (outBuf == nullptr) return std::nullopt;
    return CallOutput{std::string(outBuf, outLen > 0 ? static_cast<size_t>(outLen) : 0), outLen, outKind};
}

// The record as the host passes it: zeros, or marker bytes when asked for.
template <typename Record>
void Prefill(const CallRequest& request, Record& record) {
    std::memset(&record, request.markRecord ? RecordMarker : 0, sizeof record);
}

// Result 1 (not found) leaves the record as the host passed it: nothing to show.
bool Written(const CallReport& report) { return !report.outcome.failed && report.outcome.result == 0; }

void ParseCardInfo(Arguments& arguments, CallRequest& request) {
    request.cardCode = ParseCardCode(arguments);
    bool inputGiven = false;
    for (std::string option = arguments.NextOption(); !option.empty(); option = arguments.NextOption()) {
        if (option == "--rest")
            request.rest = static_cast<std::int32_t>(ParseInteger(option, arguments.Value(option), INT32_MIN, INT32_MAX));
        else if (option == "--unit")
            request.unit = static_cast<std::int32_t>(ParseInteger(option, arguments.Value(option), INT32_MIN, INT32_MAX));
        else if (!TakeInputOption(option, arguments, request, inputGiven))
            arguments.Unknown(option);
    }
}

// "20.00:20.58" -> rate 2000, sum 2058.
TVatEntry ParseVat(const std::string& name, const std::string& text) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) throw UsageError(name + ": \"" + text + "\" is not RATE:SUM");
    const std::int64_t rate = ParseMoney(name + " rate", text.substr(0, colon));
    if (rate < 0 || rate > 0xFFFF) throw UsageError(name + ": rate " + text.substr(0, colon) + " is out of range 0..655.35");
    return TVatEntry{ParseMoney(name + " sum", text.substr(colon + 1)), static_cast<std::uint16_t>(rate)};
}

TTransactionRec ParseTransaction(const std::string& fields) {
    TTransactionRec transaction{};
    size_t start = 0;
    while (start <= fields.size()) {
        const size_t comma = std::min(fields.find(',', start), fields.size());
        const std::string item = fields.substr(start, comma - start);
        start = comma + 1;
        const size_t equals = item.find('=');
        if (equals == std::string::npos) throw UsageError("--tx: \"" + item + "\" is not FIELD=VALUE");
        const std::string name = item.substr(0, equals), value = item.substr(equals + 1);
        if (name == "card")
            transaction.CardCode = ParseInteger(name, value, Int64Min, Int64Max);
        else if (name == "account")
            transaction.Account = static_cast<std::uint32_t>(ParseInteger(name, value, 0, UINT32_MAX));
        else if (name == "kind")
            transaction.Kind = static_cast<std::uint8_t>(ParseInteger(name, value, 0, UINT8_MAX));
        else if (name == "summa")
            transaction.Summa = ParseMoney(name, value);
        else if (name == "rest")
            transaction.Rest = static_cast<std::uint16_t>(ParseInteger(name, value, 0, UINT16_MAX));
        else if (name == "date")
            transaction.Date = ParseDate(name, value);
        else if (name == "unit")
            transaction.Unit = static_cast<std::uint8_t>(ParseInteger(name, value, 0, UINT8_MAX));
        else if (name == "check")
            transaction.Check = static_cast<std::int32_t>(ParseInteger(name, value, INT32_MIN, INT32_MAX));
        else if (name == "vat1" || name == "vat2" || name == "vat3")
            transaction.Vat[name[3] - '1'] = ParseVat(name, value);
        else
            throw UsageError("--tx: unknown field \"" + name +
                             "\" (card, account, kind, summa, rest, date, unit, check, vat1, vat2, vat3)");
    }
    return transaction;
}

void ParseTransactions(Arguments& arguments, CallRequest& request) {
    bool inputGiven = false;
    for (std::string option = arguments.NextOption(); !option.empty(); option = arguments.NextOption()) {
        if (option == "--tx")
            request.transactions.push_back(ParseTransaction(arguments.Value(option)));
        else if (!TakeInputOption(option, arguments, request, inputGiven))
            arguments.Unknown(option);
    }
}

void ParseCardImage(Arguments& arguments, CallRequest& request) { request.cardCode = ParseCardCode(arguments); }

void ParseFindEmail(Arguments& arguments, CallRequest& request) { request.email = arguments.Positional("e-mail"); }

CallReport CallCardInfo(HostLibrary& library, const CallRequest& request) {
    CallReport report{"GetCardInfoEx", request.Describe(), {}, {}, {}, {}};
    TCardInfoRec info;
    Prefill(request, info);
    const char* outBuf = nullptr;
    std::int32_t outLen = 0;
    std::int16_t outKind = 0;
    report.outcome = CallExport([&] {
        return library.getCardInfoEx(request.cardCode, request.rest, request.unit, &info, request.InputBuffer(),
                                     request.InputLength(), request.inpKind, &outBuf, &outLen, &outKind);
    });
    if (Written(report)) report.record = FieldsOf(Tolvex29::AnswerCall::CardInfo, &info);
    if (request.markRecord) report.untouched = FieldsHolding(Tolvex29::AnswerCall::CardInfo, &info, RecordMarker);
    if (!report.outcome.failed) report.output = CopyOutput(outBuf, outLen, outKind);
    return report;
}

CallReport CallTransactions(HostLibrary& library, const CallRequest& request) {
    CallReport report{"TransactionsEx", request.Describe(), {}, {}, {}, {}};
    std::vector<TTransactionRec> records = request.transactions;
    std::vector<TTransactionRec*> pointers;
    for (TTransactionRec& record : records) pointers.push_back(&record);
    const char* outBuf = nullptr;
    std::int32_t outLen = 0;
    std::int16_t outKind = 0;
    report.outcome = CallExport([&] {
        return library.transactionsEx(static_cast<std::int32_t>(pointers.size()), pointers.data(),
                                      request.InputBuffer(), request.InputLength(), request.inpKind, &outBuf, &outLen,
                                      &outKind);
    });
    if (!report.outcome.failed) report.output = CopyOutput(outBuf, outLen, outKind);
    return report;
}

CallReport CallCardImage(HostLibrary& library, const CallRequest& request) {
    CallReport report{"GetCardImageEx", request.Describe(), {}, {}, {}, {}};
    TCardImageRec image;
    Prefill(request, image);
    report.outcome = CallExport([&] { return library.getCardImageEx(request.cardCode, &image); });
    if (Written(report)) report.record = FieldsOf(Tolvex29::AnswerCall::CardImage, &image);
    if (request.markRecord) report.untouched = FieldsHolding(Tolvex29::AnswerCall::CardImage, &image, RecordMarker);
    return report;
}

CallReport CallFindEmail(HostLibrary& library, const CallRequest& request) {
    CallReport report{"FindEmail", request.Describe(), {}, {}, {}, {}};
    TEmailCardRec card;
    Prefill(request, card);
    report.outcome = CallExport([&] { return library.findEmail(request.email.c_str(), &card); });
    if (Written(report)) report.record = FieldsOf(Tolvex29::AnswerCall::Email, &card);
    if (request.markRecord) report.untouched = FieldsHolding(Tolvex29::AnswerCall::Email, &card, RecordMarker);
    return report;
}

struct CallCommand {
    const char* name;
    Tolvex29::AnswerCall call;
    void (*parse)(Arguments&, CallRequest&);
    CallReport (*make)(HostLibrary&, const CallRequest&);
};

constexpr CallCommand CallCommands[] = {
    {"card-info", Tolvex29::AnswerCall::CardInfo, ParseCardInfo, CallCardInfo},
    {"transactions", Tolvex29::AnswerCall::Transactions, ParseTransactions, CallTransactions},
    {"card-image", Tolvex29::AnswerCall::CardImage, ParseCardImage, CallCardImage},
    {"find-email", Tolvex29::AnswerCall::Email, ParseFindEmail, CallFindEmail},
};

const CallCommand* CommandNamed(const std::string& name) {
    for (const CallCommand& command : CallCommands)
        if (name == command.name) return &command;
    return nullptr;
}

const CallCommand& CommandOf(Tolvex29::AnswerCall call) { return CallCommands[static_cast<std::size_t>(call)]; }

}  // namespace

std::string CallRequest::Describe() const {
    const std::string input = "InpLen=" + std::to_string(this->input.size()) + ", InpKind=" + std::to_string(inpKind);
    switch (call) {
        case Tolvex29::AnswerCall::CardInfo:
            return "card " + std::to_string(cardCode) + ", rest " + std::to_string(rest) + ", unit " +
                   std::to_string(unit) + ", " + input;
        case Tolvex29::AnswerCall::Transactions: return std::to_string(transactions.size()) + " transactions, " + input;
        case Tolvex29::AnswerCall::CardImage: return "card " + std::to_string(cardCode);
        case Tolvex29::AnswerCall::Email: break;
    }
    return "email=" + email;
}

bool IsCallCommand(const std::string& command) { return CommandNamed(command) != nullptr; }

CallRequest ParseCallRequest(const std::vector<std::string>& words) {
    CallRequest request = ReadCallRequest(words);
    LoadCallInput(request, {});
    return request;
}

void LoadCallInput(CallRequest& request, const std::filesystem::path& base) {
    if (request.inputFile.empty()) return;
    std::ifstream file(base / request.inputFile, std::ios::binary);
    if (!file) throw UsageError(std::string(CommandOf(request.call).name) + ": cannot read input file " + request.inputFile);
    request.input.assign(std::istreambuf_iterator<char>(file), {});
    request.inputFile.clear();
}

CallRequest ReadCallRequest(const std::vector<std::string>& words) {
    const CallCommand* command = words.empty() ? nullptr : CommandNamed(words[0]);
    if (!command) throw UsageError("unknown call " + (words.empty() ? std::string("(none)") : words[0]));
    Arguments arguments(words[0], std::vector<std::string>(words.begin() + 1, words.end()));
    CallRequest request;
    request.call = command->call;
    command->parse(arguments, request);
    arguments.ExpectEnd();
    return request;
}

HostCall ParseCall(const std::vector<std::string>& words) {
    const CallRequest request = ParseCallRequest(words);
    return [request](HostLibrary& library) { return MakeCall(library, request); };
}

CallReport MakeCall(HostLibrary& library, const CallRequest& request) {
    return CommandOf(request.call).make(library, request);
}

}  // namespace TolvexHost
