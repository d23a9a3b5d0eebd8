// The quoting of a Windows command line, checked on every platform against the
// rules by which the Windows C runtime splits a command line into arguments.
#include <gtest/gtest.h>

#include "tools/WindowsCommandLine.h"

namespace {

using TolvexTest::WindowsCommandLine;

struct QuotingCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string line;
};

class WindowsQuoting : public ::testing::TestWithParam<QuotingCase> {};

TEST_P(WindowsQuoting, GivesTheLineTheRuntimeSplitsBack) {
    EXPECT_EQ(WindowsCommandLine(GetParam().arguments), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WindowsQuoting,
    ::testing::Values(
        QuotingCase{"PlainWordsStandAsTheyAre", {"tool.exe", "card-info", "1001"}, "tool.exe card-info 1001"},
        QuotingCase{"ProgramPathWithBlanks", {R"(C:\Program Files\tool.exe)", "x"}, R"("C:\Program Files\tool.exe" x)"},
        QuotingCase{"EmptyArgument", {"tool.exe", "", "x"}, R"(tool.exe "" x)"},
        QuotingCase{"Blank", {"tool.exe", "two words"}, R"(tool.exe "two words")"},
        QuotingCase{"Tab", {"tool.exe", "a\tb"}, "tool.exe \"a\tb\""},
        QuotingCase{"LineBreak", {"tool.exe", "a\nb"}, "tool.exe \"a\nb\""},
        QuotingCase{"QuotesAreEscaped", {"tool.exe", R"(say "hi")"}, R"(tool.exe "say \"hi\"")"},
        QuotingCase{"LoneQuote", {"tool.exe", R"(")"}, R"(tool.exe "\"")"},
        QuotingCase{"BackslashesElsewhereAreLiteral", {"tool.exe", R"(C:\dir\file)", R"(\\server\share)"},
                    R"(tool.exe C:\dir\file \\server\share)"},
        QuotingCase{"BackslashBeforeAQuoteIsDoubled", {"tool.exe", R"(a\"b)"}, R"(tool.exe "a\\\"b")"},
        QuotingCase{"BackslashesBeforeAQuoteAreDoubled", {"tool.exe", R"(\\")"}, R"(tool.exe "\\\\\"")"},
        QuotingCase{"TrailingBackslashesOfAQuotedArgumentAreDoubled", {"tool.exe", R"(C:\my dir\)"},
                    R"(tool.exe "C:\my dir\\")"},
        QuotingCase{"TrailingBackslashOfAPlainArgumentStays", {"tool.exe", R"(C:\dir\)"}, R"(tool.exe C:\dir\)"},
        QuotingCase{"BytesAboveAsciiStand", {"tool.exe", "\xC0\xFF"}, "tool.exe \xC0\xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
