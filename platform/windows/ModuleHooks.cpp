#include "platform/ModuleHooks.h"

#include <windows.h>

#include <type_traits>

namespace Platform {

static_assert(std::is_same_v<BOOL, int> && std::is_same_v<DWORD, unsigned long> &&
                  std::is_pointer_v<HINSTANCE> && std::is_same_v<LPVOID, void*>,
              "TOLVEX_MODULE_HOOKS declares DllMain in these plain types");

int HandleModuleNotification(void* instance, unsigned long reason, void (*onLoad)(), void (*onUnload)()) {
    if (reason == DLL_PROCESS_ATTACH) {
        SetModuleInstance(instance);
        onLoad();
    } else if (reason == DLL_THREAD_DETACH) {
        ReleaseThreadState();
    } else if (reason == DLL_PROCESS_DETACH) {
        onUnload();
    }
    return TRUE;
}

}  // namespace Platform
