#include "platform/ModuleResource.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace Platform {

namespace {

const ModuleResourceEntry* firstEntry = nullptr;

// Numeric ids ("#12") compare as numbers, names without regard to ASCII case.
bool SameResourceName(const char* stored, const std::string& asked) {
    if (stored[0] == '#' && !asked.empty() && asked[0] == '#')
        return std::strtoul(stored + 1, nullptr, 10) == std::strtoul(asked.c_str() + 1, nullptr, 10);
    return ::strcasecmp(stored, asked.c_str()) == 0;
}

}  // namespace

ModuleResourceEntry::ModuleResourceEntry(const char* type, const char* name, std::string_view bytes)
    : type(type), name(name), bytes(bytes), next(firstEntry) {
    firstEntry = this;
}

std::optional<std::string_view> FindModuleResource(const std::string& type, const std::string& name) {
    for (const ModuleResourceEntry* entry = firstEntry; entry; entry = entry->next) {
        if (SameResourceName(entry->type, type) && SameResourceName(entry->name, name))
            return entry->bytes.empty() ? std::nullopt : std::optional(entry->bytes);
    }
    return std::nullopt;
}

}  // namespace Platform
