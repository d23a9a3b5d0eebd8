// The JSON form of a log entry: one object per entry, with its line number; a
// call's arguments and logged values under the names the host's interface gives
// them (CardCode, InpKind, Summa, ...). Text is made valid UTF-8 by JsonText.
#pragma once

#include <nlohmann/json.hpp>

#include "tools/LogReader.h"

namespace TolvexHost {

// {"line":1,"event":"load"}, or {"line":2,"event":"call","dateTime":...,"call":"GetCardInfoEx",
// "writtenName":"GetCardInfoEx","CardCode":1001,...}.
nlohmann::json LogEntryJson(const LogEntry& entry);

}  // namespace TolvexHost
