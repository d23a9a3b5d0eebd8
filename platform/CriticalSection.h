// A re-entrant lock with an explicit life: initialised and deleted by the unit
// that owns it, as the design's critical sections are.
#pragma once

#if !defined(_WIN32)
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
    // The system's CRITICAL_SECTION, kept as bytes so that no system header shows
    // through: four pointers and two 32-bit counts (the Windows file checks it).
    alignas(void*) unsigned char section_[4 * sizeof(void*) + 8] = {};
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
