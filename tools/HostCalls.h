// The four call commands: card-info, transactions, card-image, find-email.
// Parsing checks every argument before anything is called, so a script with a
// bad line runs nothing; explain takes the same arguments as the calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "host/AnswerRules.h"
#include "host/TolvexTypes.h"
#include "tools/CallReport.h"
#include "tools/HostLibrary.h"

namespace TolvexHost {

// The arguments of one call, as the host would pass them.
struct CallRequest {
    Tolvex29::AnswerCall call = Tolvex29::AnswerCall::CardInfo;
    std::int64_t cardCode = 0;  // card-info, card-image
    std::int32_t rest = 0, unit = 0;  // card-info
    std::string input;  // card-info, transactions: the input buffer's bytes
    std::string inputFile;  // --input-file, until LoadCallInput reads it into input
    std::uint16_t inpKind = 0;
    std::vector<TTransactionRec> transactions;
    std::string email;
    // Prefill the record with RecordMarker bytes instead of zeros, so that the
    // report can tell which fields the call left untouched.
    bool markRecord = false;

    const void* InputBuffer() const { return input.empty() ? nullptr : input.data(); }
    std::uint32_t InputLength() const { return static_cast<std::uint32_t>(input.size()); }
    // The export's name, and its arguments as the reports show them.
    const char* ExportName() const { return Tolvex29::RuleOf(call).callName; }
    std::string Describe() const;
};

using HostCall = std::function<CallReport(HostLibrary&)>;

bool IsCallCommand(const std::string& command);

// words[0] is the command. UsageError for anything malformed.
CallRequest ParseCallRequest(const std::vector<std::string>& words);
// The same without touching any file: --input-file is only noted in inputFile.
CallRequest ReadCallRequest(const std::vector<std::string>& words);
// Reads the noted input file, relative to base; UsageError when it cannot.
void LoadCallInput(CallRequest& request, const std::filesystem::path& base);
HostCall ParseCall(const std::vector<std::string>& words);

// Makes the call through the loaded library.
CallReport MakeCall(HostLibrary& library, const CallRequest& request);

// The usage lines of the call commands.
extern const char* const CallUsage;

}  // namespace TolvexHost
