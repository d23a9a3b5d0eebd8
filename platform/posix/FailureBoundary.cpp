#include "platform/FailureBoundary.h"

namespace Platform {

void RaiseToHost(std::exception_ptr failure) { std::rethrow_exception(std::move(failure)); }

}  // namespace Platform
