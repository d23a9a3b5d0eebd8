#include "tools/WindowsCommandLine.h"

namespace TolvexTest {

namespace {

void AppendQuoted(std::string& line, const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Before a quote each backslash is doubled and the quote escaped; before
        // anything else they are literal.
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        line += c;
        backslashes = 0;
    }
    // The closing quote must not be escaped by backslashes that end the argument.
    line.append(2 * backslashes, '\\');
    line += '"';
}

}  // namespace

std::string WindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        AppendQuoted(line, argument);
    }
    return line;
}

}  // namespace TolvexTest
