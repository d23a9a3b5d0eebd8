// Expectation files: what a host's run must have done, checked afterwards against
// tolvex.log and the input dumps (tolvex-host verify). One expectation a line,
// # starts a comment line:
//
//   GetCardInfoEx card=1001 inpkind=1   exactly 1
//   GetCardInfoEx card=4242             at least 1
//   FindEmail                           never
//   transaction card=1001 account=501 kind=1 summa=123.45
//   order: GetCardInfoEx card=1001, TransactionsEx, GetCardImageEx card=1001
//   dump unit=2 contains "stripe;1001;"
//   dump unit=3 equals hex "62 61 74 63 68"
//
// A pattern names an export or "transaction" and the fields that must hold; a
// field left out matches anything. A count (exactly N, at least N, at most N,
// never) follows the pattern; without one it is "at least 1". Parsing is a pure
// function of the text, so every malformed line is reported at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/LogEvents.h"

namespace TolvexHost {

struct FieldCondition {
    Field field;
    std::string name;  // as the field is named
    std::string key;   // the value in the form EventField compares
};

struct CallPattern {
    Subject subject;
    std::vector<FieldCondition> conditions;
    std::string text;  // "GetCardInfoEx card=1001", as written
};

struct CountExpectation {
    enum class Comparison { Exactly, AtLeast, AtMost };
    CallPattern pattern;
    Comparison comparison = Comparison::AtLeast;
    std::uint64_t count = 1;
};

// The patterns match events in this relative order.
struct OrderExpectation {
    std::vector<CallPattern> patterns;
};

// An input the unit's dump file holds: one whose bytes contain or equal these.
struct DumpExpectation {
    std::int32_t unit = 0;
    bool whole = false;  // equals rather than contains
    std::string bytes;
};

struct RunExpectation {
    std::size_t line = 0;
    std::string text;  // the line without its line end and surrounding blanks
    std::variant<CountExpectation, OrderExpectation, DumpExpectation> check;
};

struct RunExpectationError {
    std::string file;
    std::size_t line = 0;
    std::string message;

    // "demo.verify:4: unknown field cardd of GetCardInfoEx (fields: card, ...)"
    std::string Text() const;
};

struct RunExpectations {
    std::vector<RunExpectation> expectations;
    std::vector<RunExpectationError> errors;  // in the order of the lines
};

// Lines end at LF (CR LF counts once). fileName names the file in the errors.
RunExpectations ParseRunExpectations(std::string_view text, const std::string& fileName);

// Does the event match every condition of the pattern?
bool PatternMatches(const CallPattern& pattern, const LogEvent& event);

}  // namespace TolvexHost
