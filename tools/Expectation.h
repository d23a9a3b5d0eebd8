// What a session script expects of a call, one "expect" line each: the result
// code, a record field, the output, a failure, or fields left untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/AnswerRules.h"
#include "tools/CallReport.h"

namespace TolvexHost {

struct Expectation {
    enum class Kind { Result, Field, Output, Failure, Untouched };
    Kind kind = Kind::Result;
    std::size_t line = 0;
    std::string name;   // Field, Untouched: the field; Failure: the class
    std::string value;  // Result: the code; Field: the value as the report shows it;
                        // Output, Failure: the text (may be empty)
    bool hasValue = false;                  // Output, Failure: a text was given
    bool textField = false;                 // Field: a text, shown in quotes
    bool prefix = false;                    // Failure: the value is the message's beginning ("...")
    std::optional<std::int16_t> outputKind;  // Output
};

// The words after "expect", for a call of this kind; UsageError when malformed.
// "untouched" takes several fields and so gives several expectations.
std::vector<Expectation> ParseExpectation(const std::vector<std::string>& words, Tolvex29::AnswerCall call);

// "result 0", "Holder \"Anna\"", "output kind 2 \"...\"", "WhyLock untouched", ...
std::string Describe(const Expectation& expectation);

// "expected ..., got ..." when the report does not meet the expectation.
std::optional<std::string> Unmet(const Expectation& expectation, const CallReport& report);

}  // namespace TolvexHost
