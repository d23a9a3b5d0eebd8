#include "support/LibraryFixture.h"

#include <regex>

namespace TolvexTest {

void LibraryTest::SetUp() {
    WriteWholeFile(ScenarioName, EmptyScenario);
    library_.emplace(LibraryPath());
    ASSERT_TRUE(library_->Loaded()) << "cannot load " << LibraryPath();
}

void LibraryTest::TearDown() { library_.reset(); }

std::vector<std::string> LibraryTest::LogLinesAfter(const std::string& before) {
    const std::string log = ReadWholeFile(LogName);
    if (log.compare(0, before.size(), before) != 0) return {"(the log's earlier content changed)"};
    return SplitCrLfLines(log.substr(before.size()));
}

std::vector<std::string> SplitCrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

::testing::AssertionResult IsCallLine(const std::string& line, const std::string& expected) {
    // A date of three numbers with any separators ("1/31/2026", "31.01.2026",
    // "2026. 01. 31."), then optionally a blank and a time of three numbers,
    // with an AM/PM text before or after it.
    static const std::regex dateTime(
        R"((?:[^\d\r\n]{0,8}\d{1,4}){3}[^\d\r\n ]{0,4})"
        R"((?: (?:[^\d\r\n ]{1,8} )?\d{1,2}[^\d\r\n ]{1,4}\d{2}[^\d\r\n ]{1,4}\d{2}(?: [^\d\r\n ]{1,8})?)?)");
    if (line.size() <= expected.size() + 1 ||
        line.compare(line.size() - expected.size(), expected.size(), expected) != 0 ||
        line[line.size() - expected.size() - 1] != ' ')
        return ::testing::AssertionFailure() << "\"" << line << "\" does not end in \" " << expected << "\"";
    const std::string timeText = line.substr(0, line.size() - expected.size() - 1);
    if (!std::regex_match(timeText, dateTime))
        return ::testing::AssertionFailure() << "\"" << timeText << "\" is not a date-time text";
    return ::testing::AssertionSuccess();
}

}  // namespace TolvexTest
