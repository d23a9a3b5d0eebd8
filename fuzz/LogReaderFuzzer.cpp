// libFuzzer target for the log reader: any bytes as tolvex.log. The reader must
// not fail; every error it reports names the file and a line of the input, every
// entry stands on a line of the input in order, and every entry's JSON form is
// accepted by the JSON writer, whatever bytes its texts hold.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzLines.h"
#include "tools/LogEntryJson.h"
#include "tools/LogReader.h"

namespace {

constexpr const char* LogName = "tolvex.log";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TolvexHost::LogReading log = TolvexHost::ParseLog(bytes, LogName);
    const std::size_t lines = TolvexFuzz::LineCount(bytes);
    for (const TolvexHost::LogError& error : log.errors) {
        const std::string place = std::string(LogName) + ":" + std::to_string(error.line) + ": cannot read ";
        if (error.line < 1 || error.line > lines || error.Text().rfind(place, 0) != 0)
            TolvexFuzz::Fail("logreader", "error outside the input's " + std::to_string(lines) + " lines: " + error.Text());
    }
    std::size_t previous = 0;
    for (const TolvexHost::LogEntry& entry : log.entries) {
        if (entry.line <= previous || entry.line > lines)
            TolvexFuzz::Fail("logreader", "entry on line " + std::to_string(entry.line) + " after line " + std::to_string(previous) + " of " +
                 std::to_string(lines));
        previous = entry.line;
        static_cast<void>(TolvexHost::LogEntryJson(entry).dump());
    }
    return 0;
}
