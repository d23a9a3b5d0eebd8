// libFuzzer target for session scripts: any bytes as a script with calls,
// expectations and use lines. Parsing must not fail otherwise than with a usage
// error, and every line of that error names the script and a line of the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzLines.h"
#include "tools/ArgumentValues.h"
#include "tools/SessionScript.h"

namespace {

constexpr const char* ScriptName = "s.txt";

// "s.txt:N: ..." with N within the input's lines.
void CheckPlace(const std::string& line, std::size_t lines) {
    const std::string prefix = std::string(ScriptName) + ":";
    std::size_t number = 0, at = prefix.size();
    if (line.rfind(prefix, 0) != 0) TolvexFuzz::Fail("script", "error without the script's name: " + line);
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && number <= lines) number = number * 10 + (line[at++] - '0');
    if (number < 1 || number > lines || line.compare(at, 2, ": ") != 0)
        TolvexFuzz::Fail("script", "error outside the input's " + std::to_string(lines) + " lines: " + line);
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
            CheckPlace(message.substr(start, end - start), TolvexFuzz::LineCount(text));
            start = end + 1;
        }
    }
    return 0;
}
