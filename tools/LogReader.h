// Reads tolvex.log back into its entries: the empty line of each library load
// and each call with its arguments, typed, and the lines the call wrote after its
// call line. Text stays in the bytes the log holds (the host's code page). A line
// that cannot be read is reported with the file's name and its line number and
// never guessed at; the lines that can be read still give their entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace TolvexHost {

enum class Export { GetCardInfoEx, TransactionsEx, GetCardImageEx, FindEmail };

const char* ExportName(Export name);

// An amount as the log writes it: hundredths with two decimals, with the decimal
// separator of the regional settings.
struct LoggedAmount {
    std::string text;  // without the blanks that align it, "123.45" or "123,45"
    std::int64_t hundredths = 0;
};

// "  Output OutKind=2, OutLen=0": the answer to a GetCardInfoEx call had an output text.
struct LoggedOutput {
    std::size_t line = 0;
    std::int64_t outKind = 0;
    std::int64_t outLen = 0;
};

struct CardInfoCall {
    std::int64_t cardCode = 0;
    std::int32_t rest = 0;
    std::int32_t unit = 0;
    std::int32_t inpLen = 0;
    std::uint16_t inpKind = 0;
    std::optional<LoggedOutput> output;
};

// "  Input Buffer data writed to In2.txt": the input was dumped before the transaction that follows.
struct LoggedDump {
    std::size_t line = 0;
    std::string fileName;
};

// The rate's text is a percentage, so its hundredths are the host's Rate.
struct LoggedVat {
    LoggedAmount rate;
    LoggedAmount sum;
};

// One transaction of a TransactionsEx call, from its two lines.
struct LoggedTransaction {
    std::size_t line = 0;  // of the transaction line; its amounts line follows
    std::string text;      // the transaction line as written
    std::string amountsText;
    std::int64_t cardCode = 0;
    std::int32_t account = 0;  // as logged: the signed reading of the host's unsigned 32 bits
    std::uint16_t rest = 0;
    std::uint8_t unit = 0;
    std::int32_t check = 0;
    std::string date;  // dd.mm.yyyy
    std::uint8_t kind = 0;
    LoggedAmount summa;
    std::array<LoggedVat, 3> vat;
    std::optional<LoggedDump> dump;
};

// The transactions the call logged; fewer than count when the call failed on its way.
struct TransactionsCall {
    std::int32_t count = 0;
    std::int32_t inpLen = 0;
    std::uint16_t inpKind = 0;
    std::vector<LoggedTransaction> transactions;
};

struct CardImageCall {
    std::int64_t cardCode = 0;
};

struct FindEmailCall {
    std::string email;
};

// The alternatives are in the order of Export.
using CallArguments = std::variant<CardInfoCall, TransactionsCall, CardImageCall, FindEmailCall>;

struct LoggedCall {
    std::string text;         // the call line as written (the dump files repeat it)
    std::string dateTime;     // as written, in the regional settings' form
    std::string writtenName;  // the name in the line: "TransactionEx" for TransactionsEx
    CallArguments arguments;

    Export Name() const { return static_cast<Export>(arguments.index()); }
};

struct LogEntry {
    std::size_t line = 0;  // from 1
    std::optional<LoggedCall> call;  // none: the empty line of a library load
};

struct LogError {
    std::string file;
    std::size_t line = 0;
    std::string message;  // "cannot read ...: ..."

    // "tolvex.log:17: cannot read ..."
    std::string Text() const;
};

struct LogReading {
    std::vector<LogEntry> entries;
    std::vector<LogError> errors;  // in the order of the lines
};

// Lines end in CR LF; the lines of a call follow its call line directly. fileName
// names the log in the errors.
LogReading ParseLog(std::string_view bytes, const std::string& fileName);

// The log in the file; std::runtime_error when the file cannot be read.
LogReading ReadLogFile(const std::string& fileName);

}  // namespace TolvexHost
