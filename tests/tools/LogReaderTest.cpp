// The log reader: each kind of line in the date-time and number forms of several
// regional settings, unreadable lines reported by file and line, and a log that
// the library wrote read back as it was called.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "support/ScenarioTestSupport.h"
#include "tools/LogEntryJson.h"
#include "tools/LogReader.h"

namespace {

using namespace TolvexTest;
using namespace TolvexHost;
using nlohmann::json;

// In the texts below, <DT> stands for the date-time and '#' for the decimal separator.
std::string Filled(std::string text, const std::string& dateTime, char separator) {
    for (std::size_t at = text.find("<DT>"); at != std::string::npos; at = text.find("<DT>", at + dateTime.size()))
        text.replace(at, 4, dateTime);
    std::replace(text.begin(), text.end(), '#', separator);
    return text;
}

json EntriesJson(const LogReading& log) {
    json entries = json::array();
    for (const LogEntry& entry : log.entries) entries.push_back(LogEntryJson(entry));
    return entries;
}

std::vector<std::string> ErrorTexts(const LogReading& log) {
    std::vector<std::string> texts;
    for (const LogError& error : log.errors) texts.push_back(error.Text());
    return texts;
}

const char* const EveryKindOfLine =
    "\r\n"
    "<DT> GetCardInfoEx: card 1001, rest 3, unit -2, InpLen=12, InpKind=65535\r\n"
    "  Output OutKind=-2, OutLen=9\r\n"
    "<DT> TransactionEx: 3 transactions, InpLen=5, InpKind=4\r\n"
    "  Input Buffer data writed to In2.txt\r\n"
    "  card 1001 account -1 rest 1 unit 2 check 10 date 08.12.2026\r\n"
    "    kind 1 sum     123#45 Vat1(     20#00%)      20#58 Vat2(      0#00%)       0#00 Vat3(      0#00%)       "
    "0#00\r\n"
    "  card -5 account 0 rest 65535 unit 255 check -7 date 01.01.10000\r\n"
    "    kind 255 sum -92233720368547758#08 Vat1(    655#35%) 92233720368547758#07 Vat2(      0#01%)      -0#05 "
    "Vat3(      0#00%)       0#00\r\n"
    "<DT> GetCardImageEx: -9223372036854775808\r\n"
    "\r\n"
    "<DT> FindEmail: email=Anna\xC0 GetCardInfoEx: card 1\r\n"
    "<DT> FindEmail: email=\r\n";

// The TransactionEx call logged 2 of its 3 transactions: it failed on its way.
const char* const EveryKindOfLineJson = R"([
  {"line": 1, "event": "load"},
  {"line": 2, "event": "call", "dateTime": "<DT>", "call": "GetCardInfoEx", "writtenName": "GetCardInfoEx",
   "CardCode": 1001, "Rest": 3, "Unit": -2, "InpLen": 12, "InpKind": 65535,
   "Output": {"line": 3, "OutKind": -2, "OutLen": 9}},
  {"line": 4, "event": "call", "dateTime": "<DT>", "call": "TransactionsEx", "writtenName": "TransactionEx",
   "Count": 3, "InpLen": 5, "InpKind": 4, "Transactions": [
    {"line": 6, "CardCode": 1001, "Account": -1, "Rest": 1, "Unit": 2, "Check": 10, "Date": "08.12.2026", "Kind": 1,
     "Summa": {"text": "123#45", "hundredths": 12345},
     "Vat": [{"Rate": {"text": "20#00", "hundredths": 2000}, "Sum": {"text": "20#58", "hundredths": 2058}},
             {"Rate": {"text": "0#00", "hundredths": 0}, "Sum": {"text": "0#00", "hundredths": 0}},
             {"Rate": {"text": "0#00", "hundredths": 0}, "Sum": {"text": "0#00", "hundredths": 0}}],
     "Dump": {"line": 5, "file": "In2.txt"}},
    {"line": 8, "CardCode": -5, "Account": 0, "Rest": 65535, "Unit": 255, "Check": -7, "Date": "01.01.10000",
     "Kind": 255, "Summa": {"text": "-92233720368547758#08", "hundredths": -9223372036854775808},
     "Vat": [{"Rate": {"text": "655#35", "hundredths": 65535},
              "Sum": {"text": "92233720368547758#07", "hundredths": 9223372036854775807}},
             {"Rate": {"text": "0#01", "hundredths": 1}, "Sum": {"text": "-0#05", "hundredths": -5}},
             {"Rate": {"text": "0#00", "hundredths": 0}, "Sum": {"text": "0#00", "hundredths": 0}}],
     "Dump": null}]},
  {"line": 10, "event": "call", "dateTime": "<DT>", "call": "GetCardImageEx", "writtenName": "GetCardImageEx",
   "CardCode": -9223372036854775808},
  {"line": 11, "event": "load"},
  {"line": 12, "event": "call", "dateTime": "<DT>", "call": "FindEmail", "writtenName": "FindEmail",
   "Email": "Anna\u00c0 GetCardInfoEx: card 1"},
  {"line": 13, "event": "call", "dateTime": "<DT>", "call": "FindEmail", "writtenName": "FindEmail", "Email": ""}
])";

struct RegionalForm {
    const char* name;
    const char* dateTime;
    char decimalSeparator;
};

void PrintTo(const RegionalForm& form, std::ostream* out) { *out << form.name; }

class RegionalForms : public ::testing::TestWithParam<RegionalForm> {};

TEST_P(RegionalForms, ReadEveryKindOfLine) {
    const RegionalForm& form = GetParam();
    const LogReading log =
        ParseLog(Filled(EveryKindOfLine, form.dateTime, form.decimalSeparator), "tolvex.log");
    EXPECT_EQ(ErrorTexts(log), std::vector<std::string>{});
    EXPECT_EQ(EntriesJson(log), json::parse(Filled(EveryKindOfLineJson, form.dateTime, form.decimalSeparator)));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RegionalForms,
    ::testing::Values(RegionalForm{"C", "12/10/26 14:05:09", '.'},
                      RegionalForm{"Russian", "10.12.2026 14:05:09", ','},
                      RegionalForm{"MidnightWithoutTime", "10.12.2026", ','},
                      RegionalForm{"TwelveHourClock", "12/10/2026 2:05:09 PM", '.'},
                      RegionalForm{"MarkerBeforeTheTime", "2026. 12. 10. \xEC\x98\xA4\xED\x9B\x84 2:05:09", '.'}),
    [](const auto& info) { return std::string(info.param.name); });

struct Unreadable {
    const char* name;
    const char* log;
    std::vector<std::string> errors;
    std::size_t callsRead;  // the calls whose lines could be read
};

void PrintTo(const Unreadable& unreadable, std::ostream* out) { *out << unreadable.name; }

class UnreadableLines : public ::testing::TestWithParam<Unreadable> {};

TEST_P(UnreadableLines, AreReportedByFileAndLine) {
    const LogReading log = ParseLog(GetParam().log, "logs/tolvex.log");
    EXPECT_EQ(ErrorTexts(log), GetParam().errors);
    EXPECT_EQ(std::count_if(log.entries.begin(), log.entries.end(), [](const LogEntry& entry) { return entry.call; }),
              static_cast<std::ptrdiff_t>(GetParam().callsRead));
}

const char* const ReadCall = "1.1.26 GetCardImageEx: 5\r\n";

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnreadableLines,
    ::testing::Values(
        Unreadable{"NoCallName", "\r\n1.1.26 GetCardImage: 5\r\n",
                   {"logs/tolvex.log:2: cannot read the line: expected a call line (a date-time, then GetCardInfoEx:, "
                    "TransactionEx:, GetCardImageEx: or FindEmail:), an empty line (a library load) or a line of a "
                    "call"},
                   0},
        Unreadable{"DateTimeWithoutDigits", "noon GetCardImageEx: 5\r\n",
                   {"logs/tolvex.log:1: cannot read the GetCardImageEx call line: expected a date-time (with digits, "
                    "on one line) before GetCardImageEx:, found \"noon\""},
                   0},
        Unreadable{"NumberOutOfRange", "1.1.26 GetCardImageEx: 9223372036854775808\r\n",
                   {"logs/tolvex.log:1: cannot read the GetCardImageEx call line: expected the card code (a whole "
                    "number from -9223372036854775808 to 9223372036854775807), found \"9223372036854775808\""},
                   0},
        Unreadable{"ArgumentMissing", "1.1.26 GetCardInfoEx: card 1, rest 2, unit 3, InpLen=4\r\n",
                   {"logs/tolvex.log:1: cannot read the GetCardInfoEx call line: expected \", InpKind=\", found the "
                    "end of the line"},
                   0},
        Unreadable{"TextAfterTheArguments", "1.1.26 TransactionEx: 0 transactions, InpLen=0, InpKind=0 and more\r\n",
                   {"logs/tolvex.log:1: cannot read the TransactionEx call line: expected the end of the line, found "
                    "\" and more\""},
                   0},
        Unreadable{"LfWithoutCr", "1.1.26 GetCardImageEx: 4\n1.1.26 GetCardImageEx: 5\r\n",
                   {"logs/tolvex.log:1: cannot read the line: it ends in LF without CR"}, 1},
        Unreadable{"LastLineUnended", "1.1.26 GetCardImageEx: 4\r\n1.1.26 GetCardImageEx: 5",
                   {"logs/tolvex.log:2: cannot read the line: it does not end in CR LF: the log ends within the line"},
                   1},
        Unreadable{"LineOfACallFirst", "  Output OutKind=1, OutLen=2\r\n",
                   {"logs/tolvex.log:1: cannot read the Output line: it follows no call line"}, 0},
        Unreadable{"OutputOfAnotherCall", "1.1.26 GetCardImageEx: 5\r\n  Output OutKind=1, OutLen=2\r\n",
                   {"logs/tolvex.log:2: cannot read the Output line: it belongs to a GetCardInfoEx call, but follows "
                    "a GetCardImageEx call line"},
                   1},
        Unreadable{"SecondOutput",
                   "1.1.26 GetCardInfoEx: card 1, rest 2, unit 3, InpLen=4, InpKind=5\r\n"
                   "  Output OutKind=1, OutLen=2\r\n  Output OutKind=1, OutLen=2\r\n",
                   {"logs/tolvex.log:3: cannot read the Output line: the call has its Output line already, on line 2"},
                   1},
        Unreadable{"MoreTransactionsThanCounted",
                   "1.1.26 TransactionEx: 0 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 08.12.2026\r\n",
                   {"logs/tolvex.log:2: cannot read the transaction line: the call logged all its 0 transaction(s) "
                    "already"},
                   1},
        Unreadable{"AmountsLineMissing",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 08.12.2026\r\n\r\n",
                   {"logs/tolvex.log:2: cannot read the transaction line: its amounts line is missing"}, 1},
        Unreadable{"AmountWithOneDecimal",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 08.12.2026\r\n"
                   "    kind 1 sum 1.5 Vat1(0.00%) 0.00 Vat2(0.00%) 0.00 Vat3(0.00%) 0.00\r\n",
                   {"logs/tolvex.log:3: cannot read the amounts line: expected the sum (an amount with two decimals), "
                    "found \"1.5 Vat1(0.00%) 0.00 Vat...\""},
                   1},
        Unreadable{"DayNotTwoDigits",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 8.12.2026\r\n",
                   {"logs/tolvex.log:2: cannot read the transaction line: expected the date (dd.mm.yyyy), found "
                    "\"8.12.2026\""},
                   1},
        Unreadable{"UnitBeyondEightBits",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 256 check 5 date 08.12.2026\r\n",
                   {"logs/tolvex.log:2: cannot read the transaction line: expected the unit (a whole number from 0 to "
                    "255), found \"256 check 5 date 08.12.2...\""},
                   1},
        Unreadable{"DumpOfAnotherUnit",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=1, InpKind=0\r\n"
                   "  Input Buffer data writed to In3.txt\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 08.12.2026\r\n",
                   {"logs/tolvex.log:3: cannot read the transaction line: the dump notice on line 2 names In3.txt, "
                    "but the transaction's unit writes In4.txt"},
                   1},
        Unreadable{"DumpWithoutInput",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=0, InpKind=0\r\n"
                   "  Input Buffer data writed to In4.txt\r\n",
                   {"logs/tolvex.log:2: cannot read the dump notice: the call has no input to dump (InpLen=0)"}, 1},
        Unreadable{"DumpWithoutTransaction",
                   "1.1.26 TransactionEx: 1 transactions, InpLen=1, InpKind=0\r\n"
                   "  Input Buffer data writed to In4.txt\r\n\r\n",
                   {"logs/tolvex.log:2: cannot read the dump notice: no transaction line follows it"}, 1},
        // The lines of a call that cannot be read are not reported once more.
        Unreadable{"LinesOfAnUnreadableCall",
                   "1.1.26 TransactionEx: x transactions, InpLen=0, InpKind=0\r\n"
                   "  card 1 account 2 rest 3 unit 4 check 5 date 08.12.2026\r\n"
                   "    kind 1 sum 1.00 Vat1(0.00%) 0.00 Vat2(0.00%) 0.00 Vat3(0.00%) 0.00\r\n"
                   "1.1.26 GetCardImageEx: 5\r\n",
                   {"logs/tolvex.log:1: cannot read the TransactionEx call line: expected the count of transactions "
                    "(a whole number from -2147483648 to 2147483647), found \"x transactions, InpLen=0...\""},
                   1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadLogFile, FailsForAFileThatCannotBeRead) {
    const ScratchDirectory directory;
    EXPECT_THROW(ReadLogFile("tolvex.log"), std::runtime_error);
    EXPECT_THROW(ReadLogFile("."), std::runtime_error);
}

// A log of the built library, written under the machine's regional settings.
class LibraryLog : public LibraryTest {};

TEST_F(LibraryLog, ReadsBackAsCalled) {
    WriteScenario(
        R"(<GetCardInfoEx CardCode="1001" InpKind="7"><OutputInfo OutKind="3" OutLen="40"/></GetCardInfoEx>)");
    HostBuffers buffers;
    CallExport([&] {
        return Library().getCardInfoEx(1001, 12, -3, &buffers.cardInfo, buffers.input, sizeof buffers.input, 7,
                                       &buffers.outBuf, &buffers.outLen, &buffers.outKind);
    });
    TTransactionRec refund = Transaction(-42, 2, -2050, 3, 4294967295u);
    refund.Vat[1] = TVatEntry{-342, 2000};
    TTransactionRec* transactions[] = {&refund};
    CallExport([&] {
        return Library().transactionsEx(1, transactions, buffers.input, sizeof buffers.input, 9, &buffers.outBuf,
                                        &buffers.outLen, &buffers.outKind);
    });
    CallExport([&] { return Library().getCardImageEx(0, &buffers.cardImage); });
    CallExport([&] { return Library().findEmail("Anna\xC0@example.com", &buffers.emailCard); });

    const LogReading log = ReadLogFile(LogName);
    ASSERT_EQ(ErrorTexts(log), std::vector<std::string>{});
    json entries = EntriesJson(log);
    for (std::size_t index = 1; index < log.entries.size(); ++index) {
        const LoggedCall& call = *log.entries[index].call;
        // The date-time is all that stands before the call's name.
        EXPECT_TRUE(IsCallLine(call.dateTime + " x", "x")) << call.text;
        EXPECT_EQ(call.text.rfind(call.dateTime + " " + call.writtenName + ": ", 0), 0u) << call.text;
        entries[index].erase("dateTime");
    }
    const char separator = LoggedAmounts(".")[0];
    EXPECT_EQ(entries, json::parse(Filled(R"([
      {"line": 1, "event": "load"},
      {"line": 2, "event": "call", "call": "GetCardInfoEx", "writtenName": "GetCardInfoEx",
       "CardCode": 1001, "Rest": 12, "Unit": -3, "InpLen": 5, "InpKind": 7,
       "Output": {"line": 3, "OutKind": 3, "OutLen": 40}},
      {"line": 4, "event": "call", "call": "TransactionsEx", "writtenName": "TransactionEx",
       "Count": 1, "InpLen": 5, "InpKind": 9, "Transactions": [
        {"line": 6, "CardCode": -42, "Account": -1, "Rest": 1, "Unit": 3, "Check": 10, "Date": "08.12.2026",
         "Kind": 2, "Summa": {"text": "-20#50", "hundredths": -2050},
         "Vat": [{"Rate": {"text": "0#00", "hundredths": 0}, "Sum": {"text": "0#00", "hundredths": 0}},
                 {"Rate": {"text": "20#00", "hundredths": 2000}, "Sum": {"text": "-3#42", "hundredths": -342}},
                 {"Rate": {"text": "0#00", "hundredths": 0}, "Sum": {"text": "0#00", "hundredths": 0}}],
         "Dump": {"line": 5, "file": "In3.txt"}}]},
      {"line": 8, "event": "call", "call": "GetCardImageEx", "writtenName": "GetCardImageEx", "CardCode": 0},
      {"line": 9, "event": "call", "call": "FindEmail", "writtenName": "FindEmail", "Email": "Anna\u00c0@example.com"}
    ])",
                                                     "", separator)));
}

}  // namespace
