#include "base/Exception.h"
#include "platform/FailureBoundary.h"

#include <new>

namespace Platform {

FailureDescription DescribeFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Exception& error) {
        return {error.ClassName(), error.what()};
    } catch (const std::bad_alloc&) {
        return {"EOutOfMemory", "Out of memory"};
    } catch (const std::exception& error) {
        return {"Exception", error.what()};
    } catch (...) {
        return {"Exception", "Unknown failure"};
    }
}

}  // namespace Platform
