#include "platform/CriticalSection.h"

#include <windows.h>

namespace Platform {

namespace {

CRITICAL_SECTION* SystemSection(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

}  // namespace

void CriticalSection::Initialize() {
    static_assert(sizeof(CRITICAL_SECTION) == sizeof section_ && alignof(CRITICAL_SECTION) <= alignof(void*),
                  "the storage of CriticalSection.h holds a CRITICAL_SECTION");
    ::InitializeCriticalSection(SystemSection(section_));
}
void CriticalSection::Delete() { ::DeleteCriticalSection(SystemSection(section_)); }
void CriticalSection::Enter() { ::EnterCriticalSection(SystemSection(section_)); }
void CriticalSection::Leave() { ::LeaveCriticalSection(SystemSection(section_)); }

}  // namespace Platform
