#include "support/StackSizedThread.h"

#include <pthread.h>

#include <exception>
#include <stdexcept>

namespace TolvexTest {

namespace {

struct ThreadWork {
    const std::function<void()>& action;
    std::exception_ptr failure;
};

void* RunWork(void* argument) {
    auto* work = static_cast<ThreadWork*>(argument);
    try {
        work->action();
    } catch (...) {
        work->failure = std::current_exception();
    }
    return nullptr;
}

}  // namespace

void RunWithStackSize(std::size_t stackSize, const std::function<void()>& action) {
    ThreadWork work{action, nullptr};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    const int sizeResult = pthread_attr_setstacksize(&attributes, stackSize);
    pthread_t thread;
    const int createResult = sizeResult == 0 ? pthread_create(&thread, &attributes, RunWork, &work) : sizeResult;
    pthread_attr_destroy(&attributes);
    if (createResult != 0) throw std::runtime_error("cannot start a thread with the asked stack size");
    pthread_join(thread, nullptr);
    if (work.failure) std::rethrow_exception(work.failure);
}

}  // namespace TolvexTest
