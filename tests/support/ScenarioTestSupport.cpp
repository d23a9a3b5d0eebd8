#include "support/ScenarioTestSupport.h"

#include <algorithm>

#include "platform/LocaleSettings.h"

namespace TolvexTest {

std::string LoggedAmounts(std::string text) {
    std::replace(text.begin(), text.end(), '.', Platform::ReadLocaleSettings().decimalSeparator);
    return text;
}

::testing::AssertionResult ReadDump(const std::string& fileName, const std::vector<size_t>& inputLengths,
                                    std::vector<DumpRecord>& records) {
    const std::string content = ReadWholeFile(fileName);
    if (content.compare(0, 3, "\xEF\xBB\xBF") != 0)
        return ::testing::AssertionFailure() << fileName << " does not start with the byte-order mark";
    size_t position = 3;
    for (const size_t length : inputLengths) {
        const size_t lineEnd = content.find("\r\n", position);
        if (lineEnd == std::string::npos || lineEnd + 2 + length > content.size())
            return ::testing::AssertionFailure() << fileName << " ends before record " << records.size();
        records.push_back({content.substr(position, lineEnd - position), content.substr(lineEnd + 2, length)});
        position = lineEnd + 2 + length;
    }
    if (position != content.size())
        return ::testing::AssertionFailure() << fileName << " holds " << content.size() - position
                                             << " bytes after the last record";
    return ::testing::AssertionSuccess();
}

}  // namespace TolvexTest
