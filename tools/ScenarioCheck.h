// check: loads a scenario file as the exports do and reports what would make a
// call fail (errors) and what would surprise its author (warnings): unknown
// names, answers no call can reach, values the host's records cut.
#pragma once

#include <string>
#include <vector>

namespace TolvexHost {

struct Finding {
    enum Severity { Error, Warning };
    Severity severity = Error;
    std::string where;  // "element 3 <GetCardInfoEx>", or empty for the file
    std::string message;
};

std::vector<Finding> CheckScenario(const std::string& fileName);

std::string FindingsText(const std::string& fileName, const std::vector<Finding>& findings);
std::string FindingsJson(const std::string& fileName, const std::vector<Finding>& findings);
bool HasErrors(const std::vector<Finding>& findings);

}  // namespace TolvexHost
