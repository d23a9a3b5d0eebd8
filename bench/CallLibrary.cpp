#include "CallLibrary.h"

#include <dlfcn.h>

#include "CallScenario.h"

namespace TolvexBench {

TGetCardInfoEx OpenGetCardInfoEx(std::string& error) {
    void* library = dlopen(TOLVEX_LIBRARY_PATH, RTLD_NOW);
    const auto getCardInfoEx =
        library ? reinterpret_cast<TGetCardInfoEx>(dlsym(library, "GetCardInfoEx")) : nullptr;
    if (!getCardInfoEx) error = dlerror();
    return getCardInfoEx;
}

// Kept out of line so that callgrind can collect exactly these calls.
[[gnu::noinline]] int MeasuredCall(TGetCardInfoEx getCardInfoEx) {
    TCardInfoRec info{};
    const char* outBuf = nullptr;
    int32_t outLen = 0;
    int16_t outKind = 0;
    const int32_t result =
        getCardInfoEx(CallCardCode, 0, 1, &info, nullptr, 0, CallInpKind, &outBuf, &outLen, &outKind);
    return result == 0 && info.Account == 41 ? outLen : -1;
}

}  // namespace TolvexBench
