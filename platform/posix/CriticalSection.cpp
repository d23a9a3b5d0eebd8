#include "platform/CriticalSection.h"

namespace Platform {

void CriticalSection::Initialize() { mutex_.emplace(); }
void CriticalSection::Delete() { mutex_.reset(); }
void CriticalSection::Enter() { mutex_->lock(); }
void CriticalSection::Leave() { mutex_->unlock(); }

}  // namespace Platform
