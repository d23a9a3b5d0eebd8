#include "tools/HostCalls.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

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

// The host's input buffer and its kind, shared by card-info and transactions.
struct HostInput {
    std::string bytes;
    bool given = false;
    std::uint16_t kind = 0;

    // True when the option was one of the input options.
    bool Take(const std::string& option, Arguments& arguments) {
        if (option == "--inp-kind") {
            kind = static_cast<std::uint16_t>(ParseInteger(option, arguments.Value(option), 0, 0xFFFF));
            return true;
        }
        if (option != "--input" && option != "--input-file" && option != "--input-hex") return false;
        if (given) throw UsageError(arguments.Command() + ": give the input once");
        given = true;
        const std::string value = arguments.Value(option);
        if (option == "--input") {
            bytes = value;
        } else if (option == "--input-hex") {
            bytes = ParseHexBytes(option, value);
        } else {
            std::ifstream file(value, std::ios::binary);
            if (!file) throw UsageError(arguments.Command() + ": cannot read input file " + value);
            bytes.assign(std::istreambuf_iterator<char>(file), {});
        }
        return true;
    }

    const void* Buffer() const { return bytes.empty() ? nullptr : bytes.data(); }
    std::uint32_t Length() const { return static_cast<std::uint32_t>(bytes.size()); }
    std::string Describe() const {
        return "InpLen=" + std::to_string(bytes.size()) + ", InpKind=" + std::to_string(kind);
    }
};

std::int64_t ParseCardCode(Arguments& arguments) {
    return ParseInteger("card code", arguments.Positional("card code"), Int64Min, Int64Max);
}

// The output text an export handed back, copied at once: it lives only until the
// next call of the same export.
std::optional<CallOutput> CopyOutput(const char* outBuf, std::int32_t outLen, std::int16_t outKind) {
    if (outBuf == nullptr) return std::nullopt;
    return CallOutput{std::string(outBuf, outLen > 0 ? static_cast<size_t>(outLen) : 0), outLen, outKind};
}

// Result 1 (not found) leaves the record as the host passed it: nothing to show.
bool Written(const CallReport& report) { return !report.outcome.failed && report.outcome.result == 0; }

HostCall ParseCardInfo(Arguments& arguments) {
    const std::int64_t cardCode = ParseCardCode(arguments);
    std::int32_t rest = 0, unit = 0;
    HostInput input;
    for (std::string option = arguments.NextOption(); !option.empty(); option = arguments.NextOption()) {
        if (option == "--rest")
            rest = static_cast<std::int32_t>(ParseInteger(option, arguments.Value(option), INT32_MIN, INT32_MAX));
        else if (option == "--unit")
            unit = static_cast<std::int32_t>(ParseInteger(option, arguments.Value(option), INT32_MIN, INT32_MAX));
        else if (!input.Take(option, arguments))
            arguments.Unknown(option);
    }
    arguments.ExpectEnd();
    return [=](HostLibrary& library) {
        CallReport report{"GetCardInfoEx",
                          "card " + std::to_string(cardCode) + ", rest " + std::to_string(rest) + ", unit " +
                              std::to_string(unit) + ", " + input.Describe(),
                          {}, {}, {}};
        TCardInfoRec info{};
        const char* outBuf = nullptr;
        std::int32_t outLen = 0;
        std::int16_t outKind = 0;
        report.outcome = CallExport([&] {
            return library.getCardInfoEx(cardCode, rest, unit, &info, input.Buffer(), input.Length(), input.kind,
                                         &outBuf, &outLen, &outKind);
        });
        if (Written(report)) report.record = FieldsOf(info);
        if (!report.outcome.failed) report.output = CopyOutput(outBuf, outLen, outKind);
        return report;
    };
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

HostCall ParseTransactions(Arguments& arguments) {
    std::vector<TTransactionRec> transactions;
    HostInput input;
    for (std::string option = arguments.NextOption(); !option.empty(); option = arguments.NextOption()) {
        if (option == "--tx")
            transactions.push_back(ParseTransaction(arguments.Value(option)));
        else if (!input.Take(option, arguments))
            arguments.Unknown(option);
    }
    arguments.ExpectEnd();
    return [=](HostLibrary& library) {
        CallReport report{"TransactionsEx", std::to_string(transactions.size()) + " transactions, " + input.Describe(),
                          {}, {}, {}};
        std::vector<TTransactionRec> records = transactions;
        std::vector<TTransactionRec*> pointers;
        for (TTransactionRec& record : records) pointers.push_back(&record);
        const char* outBuf = nullptr;
        std::int32_t outLen = 0;
        std::int16_t outKind = 0;
        report.outcome = CallExport([&] {
            return library.transactionsEx(static_cast<std::int32_t>(pointers.size()), pointers.data(), input.Buffer(),
                                          input.Length(), input.kind, &outBuf, &outLen, &outKind);
        });
        if (!report.outcome.failed) report.output = CopyOutput(outBuf, outLen, outKind);
        return report;
    };
}

HostCall ParseCardImage(Arguments& arguments) {
    const std::int64_t cardCode = ParseCardCode(arguments);
    arguments.ExpectEnd();
    return [=](HostLibrary& library) {
        CallReport report{"GetCardImageEx", "card " + std::to_string(cardCode), {}, {}, {}};
        TCardImageRec image{};
        report.outcome = CallExport([&] { return library.getCardImageEx(cardCode, &image); });
        if (Written(report)) report.record = FieldsOf(image);
        return report;
    };
}

HostCall ParseFindEmail(Arguments& arguments) {
    const std::string email = arguments.Positional("e-mail");
    arguments.ExpectEnd();
    return [=](HostLibrary& library) {
        CallReport report{"FindEmail", "email=" + email, {}, {}, {}};
        TEmailCardRec card{};
        report.outcome = CallExport([&] { return library.findEmail(email.c_str(), &card); });
        if (Written(report)) report.record = FieldsOf(card);
        return report;
    };
}

using CallParser = HostCall (*)(Arguments&);

CallParser ParserOf(const std::string& command) {
    if (command == "card-info") return ParseCardInfo;
    if (command == "transactions") return ParseTransactions;
    if (command == "card-image") return ParseCardImage;
    if (command == "find-email") return ParseFindEmail;
    return nullptr;
}

}  // namespace

bool IsCallCommand(const std::string& command) { return ParserOf(command) != nullptr; }

HostCall ParseCall(const std::vector<std::string>& words) {
    const CallParser parser = words.empty() ? nullptr : ParserOf(words[0]);
    if (!parser) throw UsageError("unknown call " + (words.empty() ? std::string("(none)") : words[0]));
    Arguments arguments(words[0], std::vector<std::string>(words.begin() + 1, words.end()));
    return parser(arguments);
}

}  // namespace TolvexHost
