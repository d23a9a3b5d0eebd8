#include "platform/ModuleHooks.h"

namespace Platform {

namespace {
void* moduleInstance = nullptr;
}

void* ModuleInstance() { return moduleInstance; }
void SetModuleInstance(void* instance) { moduleInstance = instance; }

}  // namespace Platform
