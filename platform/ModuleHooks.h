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
#include <windows.h>

namespace Platform {
// Releases what the platform keeps for the calling thread (the texts of its last
// failure); DllMain calls it as each thread of the host ends.
void ReleaseThreadState();
}  // namespace Platform

#define TOLVEX_MODULE_HOOKS(onLoad, onUnload)                                   \
    extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {  \
        if (reason == DLL_PROCESS_ATTACH) {                                     \
            ::Platform::SetModuleInstance(instance);                            \
            onLoad();                                                           \
        } else if (reason == DLL_THREAD_DETACH) {                               \
            ::Platform::ReleaseThreadState();                                   \
        } else if (reason == DLL_PROCESS_DETACH) {                              \
            onUnload();                                                         \
        }                                                                       \
        return TRUE;                                                            \
    }
#else
#define TOLVEX_MODULE_HOOKS(onLoad, onUnload)                                   \
    __attribute__((constructor)) static void TolvexModuleLoaded() { onLoad(); } \
    __attribute__((destructor)) static void TolvexModuleUnloading() { onUnload(); }
#endif
