// The module's load and unload hooks: DllMain on Windows, a load-time constructor
// and an unload-time destructor elsewhere. The library body names its two
// functions once with TOLVEX_MODULE_HOOKS(onLoad, onUnload).
#pragma once

namespace Platform {

// The handle of the loaded module (its HINSTANCE on Windows); null elsewhere and
// before the load hook ran.
void* ModuleInstance();
void SetModuleInstance(void* instance);

}  // namespace Platform

#if defined(_WIN32)
namespace Platform {
// Releases what the platform keeps for the calling thread (the texts of its last
// failure); DllMain calls it as each thread of the host ends.
void ReleaseThreadState();
// What DllMain does for the system's notification `reason`: the load hook on
// attaching the process (after recording the instance), ReleaseThreadState as a
// thread ends, the unload hook on detaching the process. Returns TRUE.
int HandleModuleNotification(void* instance, unsigned long reason, void (*onLoad)(), void (*onUnload)());
}  // namespace Platform

// DllMain in plain types of the same binary interface as the system's
// declaration (BOOL, HINSTANCE, DWORD, LPVOID; the Windows file checks them).
#define TOLVEX_MODULE_HOOKS(onLoad, onUnload)                                                 \
    extern "C" int __stdcall DllMain(void* instance, unsigned long reason, void*) {           \
        return ::Platform::HandleModuleNotification(instance, reason, onLoad, onUnload);      \
    }
#else
#define TOLVEX_MODULE_HOOKS(onLoad, onUnload)                                   \
    __attribute__((constructor)) static void TolvexModuleLoaded() { onLoad(); } \
    __attribute__((destructor)) static void TolvexModuleUnloading() { onUnload(); }
#endif
