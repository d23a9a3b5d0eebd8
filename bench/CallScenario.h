// The scenario of the call benchmarks: the generated scenario-like document
// with one more GetCardInfoEx answer at its end, the card the call asks for, so
// that the lookup walks every answer. Its InpKind differs from the call's, so
// the answer matches by card code alone, after every answer was tried with the
// input kind too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace TolvexBench {

constexpr std::int64_t CallCardCode = 7777000000001;
constexpr std::uint16_t CallInpKind = 1;

// The file the library reads from the current directory on every call.
constexpr const char* CallScenarioFile = "in.xml";

// The document of at least minimumSize bytes with the asked-for card last.
std::string CallScenarioDocument(std::size_t minimumSize);

// A new directory /tmp/<prefix>-XXXXXX for scenario files: its path, or an empty
// string when it cannot be made (errno tells why).
std::string MakeScenarioDirectory(const char* prefix);

// Writes CallScenarioDocument(minimumSize) as CallScenarioFile into the current
// directory: its size, or 0 when the write fails.
std::size_t WriteCallScenario(std::size_t minimumSize);

}  // namespace TolvexBench
