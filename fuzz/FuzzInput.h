// What the XML fuzz targets share: the library unit initialised once for the
// process, and an input split into its first byte (options) and the rest (text).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "xml/TolvexXmlUnit.h"

namespace TolvexFuzz {

inline void InitializeUnitOnce() {
    static const bool initialized = (TolvexXml::InitializeUnit(), true);
    static_cast<void>(initialized);
}

struct OptionsAndText {
    std::uint8_t options;
    std::string text;
};

// Initialises the unit (once), then splits the input; nothing for an empty input.
inline std::optional<OptionsAndText> TakeInput(const std::uint8_t* data, std::size_t size) {
    InitializeUnitOnce();
    if (size == 0) return std::nullopt;
    return OptionsAndText{data[0], std::string(reinterpret_cast<const char*>(data) + 1, size - 1)};
}

}  // namespace TolvexFuzz
