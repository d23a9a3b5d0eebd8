#include "tools/LogReader.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <stdexcept>

namespace TolvexHost {

namespace {

// Why a line cannot be read; the reader adds the file, the line and what the line is.
struct Unreadable {
    std::string reason;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the fields of one line from left to right, in the forms the library writes.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : rest_(text) {}

    void Expect(std::string_view literal) {
        if (rest_.substr(0, literal.size()) != literal) Fail(std::string(1, '"').append(literal).append(1, '"'));
        rest_.remove_prefix(literal.size());
    }

    // A decimal number of the integer type: digits after an optional minus sign.
    template <class Integer>
    Integer Number(const std::string& name) {
        Integer value{};
        const auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), value);
        if (error != std::errc())
            Fail(name + " (a whole number from " + std::to_string(std::numeric_limits<Integer>::min()) + " to " +
                 std::to_string(std::numeric_limits<Integer>::max()) + ")");
        rest_.remove_prefix(static_cast<std::size_t>(end - rest_.data()));
        return value;
    }

    // An amount with two decimals after '.' or ',', after the blanks that align it.
    LoggedAmount Amount(const std::string& name) {
        rest_.remove_prefix(std::min(rest_.find_first_not_of(' '), rest_.size()));
        const std::size_t sign = rest_.substr(0, 1) == "-" ? 1 : 0;
        const std::size_t separator = DigitsEnd(sign);
        LoggedAmount amount;
        if (separator > sign && separator + 3 <= rest_.size() && (rest_[separator] == '.' || rest_[separator] == ',') &&
            DigitsEnd(separator + 1) == separator + 3) {
            amount.text = rest_.substr(0, separator + 3);
            const std::string digits = amount.text.substr(0, separator) + amount.text.substr(separator + 1);
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), amount.hundredths);
            if (error == std::errc() && end == digits.data() + digits.size()) {
                rest_.remove_prefix(amount.text.size());
                return amount;
            }
        }
        Fail(name + " (an amount with two decimals)");
    }

    // dd.mm.yyyy, the year with four or more digits.
    std::string DayText() {
        if (DigitsEnd(0) != 2 || rest_.substr(2, 1) != "." || DigitsEnd(3) != 5 || rest_.substr(5, 1) != "." ||
            DigitsEnd(6) < 10)
            Fail("the date (dd.mm.yyyy)");
        const std::string text(rest_.substr(0, DigitsEnd(6)));
        rest_.remove_prefix(text.size());
        return text;
    }

    std::string Rest() {
        const std::string text(rest_);
        rest_ = {};
        return text;
    }

    void ExpectEnd() {
        if (!rest_.empty()) Fail("the end of the line");
    }

private:
    // The index after the run of digits that starts at `from`.
    std::size_t DigitsEnd(std::size_t from) const {
        while (from < rest_.size() && IsDigit(rest_[from])) ++from;
        return from;
    }

    [[noreturn]] void Fail(const std::string& expected) const {
        constexpr std::size_t shown = 24;
        const std::string found = rest_.empty() ? "the end of the line"
                                                : "\"" + std::string(rest_.substr(0, shown)) +
                                                      (rest_.size() > shown ? "...\"" : "\"");
        throw Unreadable{"expected " + expected + ", found " + found};
    }

    std::string_view rest_;
};

// The name each export writes in its call line, after the date-time and a blank.
struct CallKeyword {
    Export name;
    std::string_view written;
};
constexpr CallKeyword CallKeywords[] = {{Export::GetCardInfoEx, "GetCardInfoEx"},
                                        {Export::TransactionsEx, "TransactionEx"},
                                        {Export::GetCardImageEx, "GetCardImageEx"},
                                        {Export::FindEmail, "FindEmail"}};

// The call's keyword that comes first in the line (a text after it, such as an
// e-mail, may hold another), and its position.
std::optional<std::pair<CallKeyword, std::size_t>> FindCallKeyword(std::string_view text) {
    std::optional<std::pair<CallKeyword, std::size_t>> first;
    for (const CallKeyword& keyword : CallKeywords) {
        const std::size_t position = text.find(std::string(1, ' ').append(keyword.written).append(": "));
        if (position != std::string_view::npos && (!first || position < first->second)) first = {keyword, position};
    }
    return first;
}

CallArguments ReadArguments(Export name, LineCursor& cursor) {
    switch (name) {
        case Export::GetCardInfoEx: {
            CardInfoCall call;
            cursor.Expect("card ");
            call.cardCode = cursor.Number<std::int64_t>("the card code");
            cursor.Expect(", rest ");
            call.rest = cursor.Number<std::int32_t>("the restaurant");
            cursor.Expect(", unit ");
            call.unit = cursor.Number<std::int32_t>("the unit");
            cursor.Expect(", InpLen=");
            call.inpLen = cursor.Number<std::int32_t>("InpLen");
            cursor.Expect(", InpKind=");
            call.inpKind = cursor.Number<std::uint16_t>("InpKind");
            cursor.ExpectEnd();
            return call;
        }
        case Export::TransactionsEx: {
            TransactionsCall call;
            call.count = cursor.Number<std::int32_t>("the count of transactions");
            cursor.Expect(" transactions, InpLen=");
            call.inpLen = cursor.Number<std::int32_t>("InpLen");
            cursor.Expect(", InpKind=");
            call.inpKind = cursor.Number<std::uint16_t>("InpKind");
            cursor.ExpectEnd();
            return call;
        }
        case Export::GetCardImageEx: {
            CardImageCall call;
            call.cardCode = cursor.Number<std::int64_t>("the card code");
            cursor.ExpectEnd();
            return call;
        }
        case Export::FindEmail:
            cursor.Expect("email=");
            return FindEmailCall{cursor.Rest()};
    }
    throw std::logic_error("unknown export");
}

// The lines a call writes after its call line, known by how they begin.
enum class FollowLine { Output, Dump, Transaction, Amounts };

struct FollowLineForm {
    FollowLine kind;
    std::string_view start;
    const char* what;
};
constexpr FollowLineForm FollowLineForms[] = {
    {FollowLine::Output, "  Output ", "the Output line"},
    {FollowLine::Dump, "  Input Buffer data writed to ", "the dump notice"},
    {FollowLine::Transaction, "  card ", "the transaction line"},
    {FollowLine::Amounts, "    kind ", "the amounts line"},
};

class LogParser {
public:
    explicit LogParser(const std::string& fileName) : fileName_(fileName) {}

    LogReading Read(std::string_view bytes) {
        std::size_t start = 0;
        while (start < bytes.size()) {
            ++line_;
            const std::size_t end = bytes.find('\n', start);
            std::string_view text = bytes.substr(start, end == std::string_view::npos ? end : end - start);
            start = end == std::string_view::npos ? bytes.size() : end + 1;
            if (end == std::string_view::npos || text.empty() || text.back() != '\r') {
                Abandon();
                Error(line_, "the line",
                      end == std::string_view::npos ? "it does not end in CR LF: the log ends within the line"
                                                    : "it ends in LF without CR");
                continue;
            }
            text.remove_suffix(1);
            ReadLine(text);
        }
        CloseCall();
        return std::move(reading_);
    }

private:
    void ReadLine(std::string_view text) {
        if (text.empty()) {
            CloseCall();
            reading_.entries.push_back({line_, std::nullopt});
            return;
        }
        for (const FollowLineForm& form : FollowLineForms)
            if (text.substr(0, form.start.size()) == form.start) return ReadFollowLine(form, text);
        CloseCall();
        ReadCallLine(text);
    }

    void ReadCallLine(std::string_view text) {
        const auto keyword = FindCallKeyword(text);
        if (!keyword) {
            Error(line_, "the line",
                  "expected a call line (a date-time, then GetCardInfoEx:, TransactionEx:, GetCardImageEx: or "
                  "FindEmail:), an empty line (a library load) or a line of a call");
            skipping_ = true;
            return;
        }
        const auto [callKeyword, position] = *keyword;
        const std::string written(callKeyword.written);
        try {
            const std::string_view dateTime = text.substr(0, position);
            if (dateTime.find_first_of("0123456789") == std::string_view::npos ||
                dateTime.find('\r') != std::string_view::npos)
                throw Unreadable{"expected a date-time (with digits, on one line) before " + written + ":, found \"" +
                                 std::string(dateTime) + "\""};
            LineCursor cursor(text.substr(position + written.size() + 3));
            CallArguments arguments = ReadArguments(callKeyword.name, cursor);
            reading_.entries.push_back(
                {line_, LoggedCall{std::string(text), std::string(dateTime), written, std::move(arguments)}});
            call_ = reading_.entries.size() - 1;
        } catch (const Unreadable& failure) {
            Error(line_, "the " + written + " call line", failure.reason);
            skipping_ = true;
        }
    }

    void ReadFollowLine(const FollowLineForm& form, std::string_view text) {
        if (skipping_) return;
        try {
            if (!call_) throw Unreadable{"it follows no call line"};
            LoggedCall& call = *reading_.entries[*call_].call;
            LineCursor cursor(text.substr(form.start.size()));
            switch (form.kind) {
                case FollowLine::Output: return ReadOutput(call, cursor);
                case FollowLine::Dump: return ReadDump(Transactions(call), cursor);
                case FollowLine::Transaction: return ReadTransaction(Transactions(call), text, cursor);
                case FollowLine::Amounts: return ReadAmounts(Transactions(call), text, cursor);
            }
        } catch (const Unreadable& failure) {
            Error(line_, form.what, failure.reason);
            Abandon();
        }
    }

    static TransactionsCall& Transactions(LoggedCall& call) {
        if (auto* transactions = std::get_if<TransactionsCall>(&call.arguments)) return *transactions;
        throw Unreadable{"it belongs to a TransactionEx call, but follows a " + call.writtenName + " call line"};
    }

    void ReadOutput(LoggedCall& call, LineCursor& cursor) {
        auto* cardInfo = std::get_if<CardInfoCall>(&call.arguments);
        if (!cardInfo)
            throw Unreadable{"it belongs to a GetCardInfoEx call, but follows a " + call.writtenName + " call line"};
        if (cardInfo->output)
            throw Unreadable{"the call has its Output line already, on line " + std::to_string(cardInfo->output->line)};
        LoggedOutput output{line_};
        cursor.Expect("OutKind=");
        output.outKind = cursor.Number<std::int64_t>("OutKind");
        cursor.Expect(", OutLen=");
        output.outLen = cursor.Number<std::int64_t>("OutLen");
        cursor.ExpectEnd();
        cardInfo->output = output;
    }

    void ExpectTransactionLine(const TransactionsCall& call) const {
        if (amountsDue_)
            throw Unreadable{"expected the amounts line of the transaction on line " +
                             std::to_string(call.transactions.back().line)};
        if (call.transactions.size() >= static_cast<std::size_t>(std::max(call.count, 0)))
            throw Unreadable{"the call logged all its " + std::to_string(call.count) + " transaction(s) already"};
    }

    void ReadDump(TransactionsCall& call, LineCursor& cursor) {
        ExpectTransactionLine(call);
        if (dump_) throw Unreadable{"a dump notice on line " + std::to_string(dump_->line) + " comes right before"};
        if (call.inpLen == 0) throw Unreadable{"the call has no input to dump (InpLen=0)"};
        LoggedDump dump{line_, cursor.Rest()};
        LineCursor name(dump.fileName);
        name.Expect("In");
        name.Number<std::int32_t>("the unit");
        name.Expect(".txt");
        name.ExpectEnd();
        dump_ = dump;
    }

    void ReadTransaction(TransactionsCall& call, std::string_view text, LineCursor& cursor) {
        ExpectTransactionLine(call);
        LoggedTransaction transaction;
        transaction.line = line_;
        transaction.text = text;
        transaction.cardCode = cursor.Number<std::int64_t>("the card code");
        cursor.Expect(" account ");
        transaction.account = cursor.Number<std::int32_t>("the account");
        cursor.Expect(" rest ");
        transaction.rest = cursor.Number<std::uint16_t>("the restaurant");
        cursor.Expect(" unit ");
        transaction.unit = cursor.Number<std::uint8_t>("the unit");
        cursor.Expect(" check ");
        transaction.check = cursor.Number<std::int32_t>("the check");
        cursor.Expect(" date ");
        transaction.date = cursor.DayText();
        cursor.ExpectEnd();
        if (dump_) {
            const std::string unitFile = "In" + std::to_string(transaction.unit) + ".txt";
            if (dump_->fileName != unitFile)
                throw Unreadable{"the dump notice on line " + std::to_string(dump_->line) + " names " +
                                 dump_->fileName + ", but the transaction's unit writes " + unitFile};
            transaction.dump = std::move(dump_);
            dump_.reset();
        }
        call.transactions.push_back(std::move(transaction));
        amountsDue_ = true;
    }

    void ReadAmounts(TransactionsCall& call, std::string_view text, LineCursor& cursor) {
        if (!amountsDue_) throw Unreadable{"it follows no transaction line"};
        LoggedTransaction& transaction = call.transactions.back();
        transaction.amountsText = text;
        transaction.kind = cursor.Number<std::uint8_t>("the kind");
        cursor.Expect(" sum ");
        transaction.summa = cursor.Amount("the sum");
        for (std::size_t entry = 0; entry < transaction.vat.size(); ++entry) {
            const std::string name = "Vat" + std::to_string(entry + 1);
            cursor.Expect(" " + name + "(");
            transaction.vat[entry].rate = cursor.Amount("the rate of " + name);
            cursor.Expect("%) ");
            transaction.vat[entry].sum = cursor.Amount("the sum of " + name);
        }
        cursor.ExpectEnd();
        amountsDue_ = false;
    }

    // Ends the lines of the current call; what it left unfinished is reported.
    void CloseCall() {
        if (amountsDue_) {
            std::vector<LoggedTransaction>& transactions = Transactions(*reading_.entries[*call_].call).transactions;
            Error(transactions.back().line, "the transaction line", "its amounts line is missing");
            transactions.pop_back();
        }
        if (dump_) Error(dump_->line, "the dump notice", "no transaction line follows it");
        Forget();
        skipping_ = false;
    }

    // After an unreadable line: the rest of its call's lines are not read, and
    // what the call left unfinished is dropped without a report of its own.
    void Abandon() {
        if (amountsDue_) Transactions(*reading_.entries[*call_].call).transactions.pop_back();
        Forget();
        skipping_ = true;
    }

    void Forget() {
        call_.reset();
        amountsDue_ = false;
        dump_.reset();
    }

    void Error(std::size_t line, const std::string& what, const std::string& reason) {
        reading_.errors.push_back({fileName_, line, "cannot read " + what + ": " + reason});
    }

    const std::string& fileName_;
    LogReading reading_;
    std::size_t line_ = 0;
    std::optional<std::size_t> call_;  // the entry of the call whose lines may follow
    bool skipping_ = false;            // the lines that follow belong to an unreadable line's call
    bool amountsDue_ = false;          // the last transaction waits for its amounts line
    std::optional<LoggedDump> dump_;   // a dump notice waiting for its transaction line
};

}  // namespace

const char* ExportName(Export name) {
    switch (name) {
        case Export::GetCardInfoEx: return "GetCardInfoEx";
        case Export::TransactionsEx: return "TransactionsEx";
        case Export::GetCardImageEx: return "GetCardImageEx";
        case Export::FindEmail: return "FindEmail";
    }
    return "";
}

std::string LogError::Text() const { return file + ":" + std::to_string(line) + ": " + message; }

LogReading ParseLog(std::string_view bytes, const std::string& fileName) { return LogParser(fileName).Read(bytes); }

LogReading ReadLogFile(const std::string& fileName) {
    std::string bytes;
    // A read that fails (a directory's, for one) throws, so the bytes are all or nothing.
    std::ifstream file;
    file.exceptions(std::ios::badbit);
    try {
        file.open(fileName, std::ios::binary);
        if (!file.is_open()) throw std::runtime_error("cannot read " + fileName);
        bytes.assign(std::istreambuf_iterator<char>(file), {});
    } catch (const std::ios_base::failure&) {
        throw std::runtime_error("cannot read " + fileName);
    }
    return ParseLog(bytes, fileName);
}

}  // namespace TolvexHost
