// tolvex-host log: tolvex.log read back into its calls, as a table or as JSON lines.
#pragma once

#include <string>

#include "tools/CommandLine.h"
#include "tools/LogReader.h"

namespace TolvexHost {

// A line per call: its log line number, date-time as written, export and
// arguments (under the field names expectations use); then indented, with
// their own line numbers, GetCardInfoEx's output, each transaction's dump
// notice and the transaction. A library load shows as "library loaded".
std::string LogTable(const LogReading& log);

// One LogEntryJson object a line.
std::string LogJsonLines(const LogReading& log);

// log [FILE] [--json]: prints the log (default tolvex.log) to standard output and
// what cannot be read, with file and line, to standard error; 1 when anything
// could not be read. std::runtime_error when the file cannot be read at all.
int LogCommand(Arguments& arguments, bool json);

}  // namespace TolvexHost
