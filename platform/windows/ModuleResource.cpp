#include "platform/ModuleResource.h"

#include <windows.h>

#include "platform/ModuleHooks.h"

namespace Platform {

std::optional<std::string_view> FindModuleResource(const std::string& type, const std::string& name) {
    const HMODULE module = static_cast<HMODULE>(ModuleInstance());
    const HRSRC info = ::FindResourceA(module, name.c_str(), type.c_str());
    if (!info) return std::nullopt;
    const HGLOBAL loaded = ::LoadResource(module, info);
    if (!loaded) return std::nullopt;
    const DWORD size = ::SizeofResource(module, info);
    if (size == 0) return std::nullopt;
    const void* bytes = ::LockResource(loaded);
    if (!bytes) return std::nullopt;
    return std::string_view(static_cast<const char*>(bytes), size);
}

}  // namespace Platform
