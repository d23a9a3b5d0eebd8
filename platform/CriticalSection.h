// A re-entrant lock with an explicit life: initialised and deleted by the unit
// that owns it, as the design's critical sections are.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <mutex>
#include <optional>
#endif

namespace Platform {

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Initialize();
    void Delete();
    void Enter();
    void Leave();

private:
#if defined(_WIN32)
    CRITICAL_SECTION section_{};
#else
    std::optional<std::recursive_mutex> mutex_;
#endif
};

// Holds a critical section for the lifetime of a scope.
class CriticalSectionGuard {
public:
    explicit CriticalSectionGuard(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~CriticalSectionGuard() { section_.Leave(); }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace Platform
