// Resources of the library's own module. On Windows they are the module's
// resources (FindResourceA and friends on Platform::ModuleInstance()); elsewhere
// they are a table compiled into the module, filled with TOLVEX_MODULE_RESOURCE.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// The bytes of the resource of that type and name, or nothing when the module has
// no such resource, it cannot be loaded or locked, or it is empty. Names and types
// are matched as FindResourceA matches them: "#<number>" is a numeric id, any
// other text a name compared without regard to ASCII letter case. The bytes stay
// valid while the module is loaded.
std::optional<std::string_view> FindModuleResource(const std::string& type, const std::string& name);

#if !defined(_WIN32)
// One entry of the compiled-in table; entries link themselves in at load time.
class ModuleResourceEntry {
public:
    ModuleResourceEntry(const char* type, const char* name, std::string_view bytes);

    const char* type;
    const char* name;
    std::string_view bytes;
    const ModuleResourceEntry* next;
};

#define TOLVEX_MODULE_RESOURCE_CONCAT2(a, b) a##b
#define TOLVEX_MODULE_RESOURCE_CONCAT(a, b) TOLVEX_MODULE_RESOURCE_CONCAT2(a, b)
// Adds a resource to the module's table: type and name as C strings, bytes as a
// string_view of static storage.
#define TOLVEX_MODULE_RESOURCE(type, name, bytes)                   \
    static const ::Platform::ModuleResourceEntry TOLVEX_MODULE_RESOURCE_CONCAT( \
        tolvexModuleResource, __LINE__)(type, name, bytes)
#endif

}  // namespace Platform
