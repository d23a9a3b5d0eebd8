// Calls a 32-bit stdcall function through hand-written machine code, so that the
// test sees exactly what a host sees: the stack pointer just before the arguments
// are pushed and just after the call returns, and the callee-saved registers.
// A stdcall callee pops its own argument slots, so both stack pointers must be
// equal; any other difference means the export and the host disagree on the
// calling convention or on the number of argument bytes.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#define TOLVEX_TEST_STDCALL_THUNK 1

#include <cstdint>
#include <vector>

namespace TolvexTest {

struct StdcallOutcome {
    std::uint32_t result = 0;
    std::uint32_t stackBefore = 0;  // ESP before the first argument is pushed
    std::uint32_t stackAfter = 0;   // ESP after the callee returned
    bool calleeSavedKept = false;   // EBX, ESI and EDI as they were before the call
};

// Pushes the slots from the last to the first (so slots[0] lies at the lowest
// address, as the first argument must) and calls the function.
StdcallOutcome CallStdcall(const void* function, const std::vector<std::uint32_t>& slots);

// The two slots of a 64-bit argument, low half first.
std::vector<std::uint32_t> Int64Slots(std::int64_t value);
std::uint32_t PointerSlot(const void* pointer);

}  // namespace TolvexTest

#endif
