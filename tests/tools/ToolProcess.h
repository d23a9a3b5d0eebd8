// Runs tolvex-host as its own process in the current directory, as a user would.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace TolvexTest {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& arguments);

// A parsed JSON value: enough to check the structure of the tool's reports.
struct JsonValue {
    enum Kind { Null, Boolean, Number, String, Object, Array } kind = Null;
    std::string text;  // String: the text; Number and Boolean: as written
    std::map<std::string, JsonValue> members;
    std::vector<JsonValue> items;

    const JsonValue& operator[](const std::string& name) const;
};

// Throws std::runtime_error on malformed JSON or trailing characters.
JsonValue ParseJson(const std::string& text);

}  // namespace TolvexTest
