// explain: what a call would answer, and why, without calling the export. The
// scenario is loaded as the call loads it and the call's own matching routines
// run with a trace (host/AnswerMatch.h), so the answer chosen and the failure
// raised are the call's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/CallReport.h"
#include "tools/ElementPlaces.h"
#include "tools/HostCalls.h"

namespace TolvexHost {

// An element of the scenario, named by its place: its position among the
// element children of Root (from 1), its name and where it stands in the file.
struct ExplainedElement {
    std::size_t position = 0;
    std::string name;
    std::optional<TextPlace> place;
    std::string child;  // the child element read, e.g. "OutputInfo"; empty for the answer itself
};

struct PassedOverAnswer {
    ExplainedElement element;
    std::string reason;  // the first reason found, e.g. "CardCode 1002, call has 1001"
};

struct ExplainedTransaction {
    std::vector<PassedOverAnswer> passedOver;
    std::optional<ExplainedElement> answer;  // none: no answer matches
    std::int32_t result = 0;                 // the answer's Result
    std::optional<std::string> outXml;       // the answer's OutXML text
};

struct Explanation {
    CallReport report;  // what the call would give back: result, record, output, or the failure
    std::vector<PassedOverAnswer> passedOver;      // every answer examined before the one chosen (or all)
    std::optional<ExplainedElement> answer;  // the answer chosen
    int pass = 0;                            // GetCardInfoEx: 1 or 2
    std::vector<ExplainedTransaction> transactions;
    // A failure: the element and attribute whose read raised it, when one did.
    std::optional<ExplainedElement> failedAt;
    std::string failedAttribute;
    std::string note;  // what else the call does, e.g. card 0's built-in image
    // The bytes of the host's record as the call would leave it, from a zeroed
    // record (also after a failure half-way); empty when the call writes none.
    std::string recordBytes;
};

// Explains the call against "in.xml" of the current directory; places come from
// the same file's text.
Explanation ExplainCall(const CallRequest& request);

std::string ExplanationText(const Explanation& explanation, const CallRequest& request, const std::string& fileName);
std::string ExplanationJson(const Explanation& explanation, const CallRequest& request, const std::string& fileName);

}  // namespace TolvexHost
