// Every call writes its line to the log before it does anything else; the line
// is exact apart from the date-time text it begins with.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/LibraryFixture.h"

namespace TolvexTest {
namespace {

struct CallLineCase {
    const char* description;
    std::function<std::int32_t(HostLibrary&, HostBuffers&)> call;
    std::string expectedLine;  // after the date-time text and its blank
};

constexpr std::int64_t MinInt64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t MaxInt64 = std::numeric_limits<std::int64_t>::max();

const CallLineCase CallLineCases[] = {
    {"card info",
     [](HostLibrary& l, HostBuffers& b) {
         return l.getCardInfoEx(1234, 7, 2, &b.cardInfo, b.input, 5, 3, &b.outBuf, &b.outLen, &b.outKind);
     },
     "GetCardInfoEx: card 1234, rest 7, unit 2, InpLen=5, InpKind=3"},
    {"card info at the limits",
     [](HostLibrary& l, HostBuffers& b) {
         return l.getCardInfoEx(MinInt64, -1, 255, &b.cardInfo, b.input, 0, 65535, &b.outBuf, &b.outLen,
                                &b.outKind);
     },
     "GetCardInfoEx: card -9223372036854775808, rest -1, unit 255, InpLen=0, InpKind=65535"},
    {"no transactions",
     [](HostLibrary& l, HostBuffers& b) {
         return l.transactionsEx(0, nullptr, b.input, 5, 9, &b.outBuf, &b.outLen, &b.outKind);
     },
     "TransactionEx: 0 transactions, InpLen=5, InpKind=9"},
    {"a negative transaction count",
     [](HostLibrary& l, HostBuffers& b) {
         return l.transactionsEx(-3, nullptr, b.input, 0, 65535, &b.outBuf, &b.outLen, &b.outKind);
     },
     "TransactionEx: -3 transactions, InpLen=0, InpKind=65535"},
    {"card image 0",
     [](HostLibrary& l, HostBuffers& b) { return l.getCardImageEx(0, &b.cardImage); },
     "GetCardImageEx: 0"},
    {"card image of a negative card",
     [](HostLibrary& l, HostBuffers& b) { return l.getCardImageEx(-5, &b.cardImage); },
     "GetCardImageEx: -5"},
    {"card image of the largest card",
     [](HostLibrary& l, HostBuffers& b) { return l.getCardImageEx(MaxInt64, &b.cardImage); },
     "GetCardImageEx: 9223372036854775807"},
    {"e-mail",
     [](HostLibrary& l, HostBuffers& b) { return l.findEmail("Anna.Smith@Example.org", &b.emailCard); },
     "FindEmail: email=Anna.Smith@Example.org"},
    {"empty e-mail",
     [](HostLibrary& l, HostBuffers& b) { return l.findEmail("", &b.emailCard); },
     "FindEmail: email="},
    {"e-mail in 8-bit bytes, passed unchanged",
     [](HostLibrary& l, HostBuffers& b) { return l.findEmail("\xC0\xED\xED\xE0@\xEF\xEE\xF7\xF2\xE0.ru", &b.emailCard); },
     "FindEmail: email=\xC0\xED\xED\xE0@\xEF\xEE\xF7\xF2\xE0.ru"},
};

TEST_F(LibraryTest, EveryCallBeginsWithItsExactLogLine) {
    for (const CallLineCase& callLineCase : CallLineCases) {
        SCOPED_TRACE(callLineCase.description);
        const std::string before = ReadWholeFile(LogName);
        HostBuffers buffers;
        const CallOutcome outcome = CallExport([&] { return callLineCase.call(Library(), buffers); });
        EXPECT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
        const std::vector<std::string> lines = LogLinesAfter(before);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(IsCallLine(lines.front(), callLineCase.expectedLine));
    }
}

}  // namespace
}  // namespace TolvexTest
