// Just enough JSON writing for the tool's reports: quoted strings and a flat
// object builder. Text bytes that are not valid UTF-8 (the host's code page)
// are written as \u00XX escapes, one per byte.
#pragma once

#include <string>

namespace TolvexHost {

std::string JsonString(const std::string& bytes);

class JsonObject {
public:
    JsonObject& Add(const std::string& name, const std::string& rawJson);
    JsonObject& AddText(const std::string& name, const std::string& text) { return Add(name, JsonString(text)); }
    std::string Text() const { return text_ + "}"; }

private:
    std::string text_ = "{";
};

}  // namespace TolvexHost
