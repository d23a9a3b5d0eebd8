#include "platform/CriticalSection.h"

namespace Platform {

void CriticalSection::Initialize() { ::InitializeCriticalSection(&section_); }
void CriticalSection::Delete() { ::DeleteCriticalSection(&section_); }
void CriticalSection::Enter() { ::EnterCriticalSection(&section_); }
void CriticalSection::Leave() { ::LeaveCriticalSection(&section_); }

}  // namespace Platform
