// A failure leaves an export as the platform's failure: on Windows the structured
// exception 0xE0544C58 carrying the class name and the message, elsewhere the C++
// exception itself. The call's log line is written all the same, and the library
// goes on working after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/LibraryFixture.h"

namespace TolvexTest {
namespace {

constexpr const char* NullRecordMessage = "GetCardImageEx: Rec is a null pointer";

void ExpectArgumentError(const CallOutcome& outcome) {
    EXPECT_TRUE(outcome.failed) << "returned " << outcome.result;
    EXPECT_EQ(outcome.className, "EArgumentError");
    EXPECT_EQ(outcome.message, NullRecordMessage);
#if defined(_WIN32)
    EXPECT_EQ(outcome.exceptionCode, TOLVEX_FAILURE_CODE);
    EXPECT_EQ(outcome.exceptionFlags & EXCEPTION_NONCONTINUABLE, static_cast<std::uint32_t>(EXCEPTION_NONCONTINUABLE));
    EXPECT_EQ(outcome.parameterCount, 2u);
#endif
}

TEST_F(LibraryTest, NullImageRecordFailsWithArgumentErrorAfterItsLogLine) {
    const std::string before = ReadWholeFile(LogName);
    ExpectArgumentError(CallExport([&] { return Library().getCardImageEx(0, nullptr); }));
    const std::vector<std::string> lines = LogLinesAfter(before);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsCallLine(lines.front(), "GetCardImageEx: 0"));
}

TEST_F(LibraryTest, LibraryKeepsWorkingAfterFailures) {
    for (int failure = 0; failure < 2; ++failure)
        ExpectArgumentError(CallExport([&] { return Library().getCardImageEx(0, nullptr); }));
    TCardImageRec record{};
    const CallOutcome outcome = CallExport([&] { return Library().getCardImageEx(0, &record); });
    EXPECT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
    EXPECT_EQ(outcome.result, 0);
    EXPECT_STREQ(record.FileName, "image0.xml");
}

}  // namespace
}  // namespace TolvexTest
