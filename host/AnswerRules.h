// The one table of answer rules: for each call, the element names of its answers
// and every attribute it reads, with the value's type, its default and where it
// lands, in the order the call reads them. The exports fill their records through
// it, and the tools (check, explain, the schema test, the docs test) read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Tolvex29 {

enum class AnswerCall { CardInfo, Transactions, CardImage, Email };

enum class ValueKind { Integer, Boolean, Text };

// What an absent attribute means.
enum class DefaultKind {
    Value,     // the rule's defaultValue (0, false, the empty text, or a bound)
    CallsOwn,  // the call's own value, so the test always passes
    None,      // no default: an absent attribute fails the read
};

// What the call does with the value.
enum class AttributeRole {
    Key,     // compared with the call's arguments to choose the answer
    Field,   // written into a field of the host's record
    Result,  // decides the call's result code
    Output,  // handed to the host through an output argument, or only logged
};

// A field of a host record: its offset and size, taken from the record type.
struct RecordField {
    const char* name = nullptr;  // null when the value lands in no record
    std::size_t offset = 0;
    std::size_t size = 0;
};

struct AttributeRule {
    const char* name;  // the canonical spelling, the one the call asks for
    ValueKind kind;
    AttributeRole role;
    DefaultKind defaultKind;
    std::int64_t defaultValue;  // Integer and Boolean (0 or 1) defaults
    RecordField field;
    std::size_t textLimit;  // Text fields: the characters the record keeps
    // Integer keys: the values the host's side of the comparison can take.
    std::int64_t matchLow, matchHigh;

    // Integer fields: the bits of the value the record keeps (64 when all).
    int StoredBits() const { return kind == ValueKind::Integer && field.name ? static_cast<int>(field.size * 8) : 64; }
};

struct AnswerRule {
    AnswerCall call;
    const char* callName;                     // the export's name
    std::vector<std::string_view> elementNames;  // compared ignoring ASCII case
    std::vector<AttributeRule> attributes;    // in the order the call reads them
    const char* outputChild;                  // child element with the output text, or null
    std::vector<AttributeRule> outputAttributes;
};

// GetCardImageEx answers card 0 with this file name without reading the scenario.
inline constexpr char BuiltInCardImageFile[] = "image0.xml";

// The rules of the four calls, in the order of AnswerCall.
const std::vector<AnswerRule>& AnswerRules();
const AnswerRule& RuleOf(AnswerCall call);
// The rule whose element names include the name (ASCII case ignored), or null.
const AnswerRule* RuleForElement(std::string_view elementName);
// The rule's attribute of that exact name, or null.
const AttributeRule* FindAttribute(const std::vector<AttributeRule>& rules, std::string_view name);

// The ASCII letters a-z as A-Z; every other byte as it is.
inline char FoldAsciiLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
// Equal length and equal bytes once the ASCII letters a-z are folded to A-Z.
bool EqualIgnoringAsciiCase(std::string_view left, std::string_view right);

}  // namespace Tolvex29
