// Reads the JSON that tolvex-host prints: enough to check the structure of its reports.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace TolvexTest {

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
