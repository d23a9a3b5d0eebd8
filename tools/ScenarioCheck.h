// check: loads a scenario file as the exports do and reports what would make a
// call fail (errors) and what would surprise its author (warnings): unknown
// names, answers no call can reach, values the host's records cut.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TolvexHost {

struct Finding {
    enum Severity { Error, Warning };
    Severity severity = Error;
    std::string where;  // "element 3 <GetCardInfoEx>", or empty for the file
    std::string message;
    // Where the file stopped parsing, from 1; the column counts bytes. 0 when the
    // finding has no place in the text.
    std::int64_t line = 0, column = 0;
};

std::vector<Finding> CheckScenario(const std::string& fileName);

std::string FindingsText(const std::string& fileName, const std::vector<Finding>& findings);
std::string FindingsJson(const std::string& fileName, const std::vector<Finding>& findings);
bool HasErrors(const std::vector<Finding>& findings);

}  // namespace TolvexHost
