// The common ground of the tests that load the library: a scratch working directory with a
// scenario file whose Root has no answers, and the library loaded into it the way
// a host loads it. Also the reading of the log the library writes there.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/HostLibrary.h"
#include "support/ScratchDirectory.h"

namespace TolvexTest {

inline constexpr const char* LogName = "tolvex.log";
inline constexpr const char* ScenarioName = "in.xml";
// A scenario that answers nothing: every lookup ends "not found".
inline constexpr const char* EmptyScenario = "<Root/>\r\n";

// Everything a call reads or writes, valid for any call.
struct HostBuffers {
    TCardInfoRec cardInfo{};
    TCardImageRec cardImage{};
    TEmailCardRec emailCard{};
    char input[5] = {'i', 'n', 'p', 'u', 't'};
    const char* outBuf = nullptr;
    std::int32_t outLen = 0;
    std::int16_t outKind = 0;
};

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HostLibrary& Library() { return *library_; }
    // The log's lines (without CR LF) written after the log held `before`.
    static std::vector<std::string> LogLinesAfter(const std::string& before);

private:
    ScratchDirectory scratch_;
    std::optional<HostLibrary> library_;
};

// Splits text into CR LF terminated lines; a trailing piece without CR LF is a line too.
std::vector<std::string> SplitCrLfLines(const std::string& text);

// True when the line is the local date-time text, a blank and `expected`. The
// date-time is masked: its form depends on the regional settings of the machine.
::testing::AssertionResult IsCallLine(const std::string& line, const std::string& expected);

}  // namespace TolvexTest
