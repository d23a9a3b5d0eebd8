// What one call of an export gave back, and its text and JSON forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/AnswerRules.h"
#include "tools/HostLibrary.h"

namespace TolvexHost {

struct ReportField {
    enum Kind { Number, Boolean, Text };
    std::string name;
    std::string value;  // decimal digits, "true"/"false", or the text's bytes
    Kind kind = Number;
};

struct CallOutput {
    std::string text;
    std::int32_t length = 0;
    std::int16_t kind = 0;
};

struct CallReport {
    std::string call;       // the export's name
    std::string arguments;  // the call's arguments, readable
    CallOutcome outcome;
    std::vector<ReportField> record;
    std::optional<CallOutput> output;
    // With a marked record: the fields whose bytes all still hold the marker.
    std::vector<std::string> untouched;
};

// The byte a marked record is prefilled with.
inline constexpr unsigned char RecordMarker = 0xA5;

// The record's fields that the call writes, by name, in the rules' order.
std::vector<ReportField> FieldsOf(Tolvex29::AnswerCall call, const void* record);

// A text between double quotes, control bytes as \xNN and quotes escaped.
std::string Quoted(const std::string& text);

// The names of the record's fields whose bytes all equal the byte.
std::vector<std::string> FieldsHolding(Tolvex29::AnswerCall call, const void* record, unsigned char byte);

// The fields that hold something, one a line; a note when the others hold nothing.
std::string FieldsText(const std::vector<ReportField>& fields);
std::string ReportText(const CallReport& report);
// One JSON object: call, arguments, then the failure, or the result, record and output.
nlohmann::ordered_json ReportJsonValue(const CallReport& report);
std::string ReportJson(const CallReport& report);

}  // namespace TolvexHost
