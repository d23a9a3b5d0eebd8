// The four call commands: card-info, transactions, card-image, find-email.
// Parsing checks every argument before anything is called, so a script with a
// bad line runs nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/CallReport.h"
#include "tools/HostLibrary.h"

namespace TolvexHost {

using HostCall = std::function<CallReport(HostLibrary&)>;

bool IsCallCommand(const std::string& command);

// words[0] is the command. UsageError for anything malformed.
HostCall ParseCall(const std::vector<std::string>& words);

// The usage lines of the call commands.
extern const char* const CallUsage;

}  // namespace TolvexHost
