// libFuzzer target for the expectation files of tolvex-host verify: any bytes as
// the file. The parser must not fail; every error names the file and a line of
// the input, every expectation stands on a line of the input in order, and an
// expectation and an error never share a line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzLines.h"
#include "tools/VerifyExpectations.h"

namespace {

constexpr const char* FileName = "run.verify";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TolvexHost::RunExpectations parse = TolvexHost::ParseRunExpectations(bytes, FileName);
    const std::size_t lines = TolvexFuzz::LineCount(bytes);
    std::size_t previous = 0;
    for (const TolvexHost::RunExpectationError& error : parse.errors) {
        const std::string place = std::string(FileName).append(":").append(std::to_string(error.line)).append(": ");
        if (error.line <= previous || error.line > lines || error.Text().rfind(place, 0) != 0 || error.message.empty())
            TolvexFuzz::Fail("verify", "error outside the input's " + std::to_string(lines) + " lines: " + error.Text());
        previous = error.line;
    }
    previous = 0;
    for (const TolvexHost::RunExpectation& expectation : parse.expectations) {
        const bool erroneous = std::any_of(parse.errors.begin(), parse.errors.end(),
                                           [&](const auto& error) { return error.line == expectation.line; });
        if (expectation.line <= previous || expectation.line > lines || erroneous || expectation.text.empty())
            TolvexFuzz::Fail("verify", "expectation on line " + std::to_string(expectation.line) + " after line " +
                 std::to_string(previous) + " of " + std::to_string(lines));
        previous = expectation.line;
    }
    return 0;
}
