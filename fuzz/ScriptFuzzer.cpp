// libFuzzer target for session scripts: any bytes as a script with calls,
// expectations and use lines. Parsing must not fail otherwise than with a usage
// error, and every line of that error names the script and a line of the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/ArgumentValues.h"
#include "tools/SessionScript.h"

namespace {

constexpr const char* ScriptName = "s.txt";

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "script: %s\n", what.c_str());
    std::abort();
}

// Lines end at LF; a last line without one counts too.
std::size_t LineCount(const std::string& text) {
    const auto breaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return breaks + (text.empty() || text.back() == '\n' ? 0 : 1);
}

// "s.txt:N: ..." with N within the input's lines.
void CheckPlace(const std::string& line, std::size_t lines) {
    const std::string prefix = std::string(ScriptName) + ":";
    std::size_t number = 0, at = prefix.size();
    if (line.rfind(prefix, 0) != 0) Fail("error without the script's name: " + line);
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && number <= lines) number = number * 10 + (line[at++] - '0');
    if (number < 1 || number > lines || line.compare(at, 2, ": ") != 0)
        Fail("error outside the input's " + std::to_string(lines) + " lines: " + line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        TolvexHost::ParseSessionScript(text, ScriptName);
    } catch (const TolvexHost::UsageError& error) {
        const std::string message = error.what();
        std::size_t start = 0;
        while (start <= message.size()) {
            const std::size_t end = std::min(message.find('\n', start), message.size());
            CheckPlace(message.substr(start, end - start), LineCount(text));
            start = end + 1;
        }
    }
    return 0;
}
