// What one call of an export gave back, and its text and JSON forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/TolvexTypes.h"
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
};

std::vector<ReportField> FieldsOf(const TCardInfoRec& info);
std::vector<ReportField> FieldsOf(const TCardImageRec& image);
std::vector<ReportField> FieldsOf(const TEmailCardRec& card);

std::string ReportText(const CallReport& report);
std::string ReportJson(const CallReport& report);

}  // namespace TolvexHost
