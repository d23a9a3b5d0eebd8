// Checks expectations against a host's run after the fact: the calls and
// transactions of its tolvex.log and the inputs of its dump files. Each
// expectation is a test case; every mismatch is reported, each naming the
// nearest thing the log holds, and a log line that could not be read fails the run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/LogReader.h"
#include "tools/TestReport.h"
#include "tools/VerifyExpectations.h"

namespace TolvexHost {

// The bytes of a dump file ("In2.txt"); none when there is no such file.
using DumpFileReader = std::function<std::optional<std::string>(const std::string& fileName)>;

// A suite named suiteName (the expectations file) with a case per expectation,
// "line 3: GetCardInfoEx card=1001 exactly 1", failing with
// "suiteName:3: expected ..., got ..."; the log's unreadable lines make one more,
// failing case. logName names the log in the messages.
TestSuite VerifyLog(const std::string& suiteName, const std::vector<RunExpectation>& expectations, const LogReading& log,
                    const std::string& logName, const DumpFileReader& readDump);

}  // namespace TolvexHost
