// tolvex-host verify: a host's run checked after the fact against an expectations file.
#pragma once

#include "tools/CommandLine.h"

namespace TolvexHost {

// verify EXPECTATIONS [--junit FILE] [--json], in the directory that holds
// tolvex.log and the dumps: prints the report (TestReportText, or TestReportJson
// with --json or json), writes JUnitXml to FILE. 0 when every expectation held
// and the whole log could be read, 1 otherwise (an unreadable log or a report
// that cannot be written too), 2 for an unreadable or malformed expectations
// file (each malformed line on standard error, nothing checked).
int VerifyCommand(Arguments& arguments, bool json);

}  // namespace TolvexHost
