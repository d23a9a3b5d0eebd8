#include "e2e/StdcallThunk.h"

#if defined(TOLVEX_TEST_STDCALL_THUNK)

// std::uint32_t TolvexCallWithSlots(const void* function, const std::uint32_t* slots,
//                                   std::uint32_t count, std::uint32_t registers[8]);
// registers: ESP, EBX, ESI, EDI before the arguments are pushed, then the same after
// the call returns. Written in assembly because compiled code may address its locals
// relative to ESP, which the pushes move.
asm(R"(
    .text
    .globl _TolvexCallWithSlots
_TolvexCallWithSlots:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  20(%ebp), %edx
    movl  %esp, 0(%edx)
    movl  %ebx, 4(%edx)
    movl  %esi, 8(%edx)
    movl  %edi, 12(%edx)
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  call  *8(%ebp)
    movl  20(%ebp), %edx
    movl  %esp, 16(%edx)
    movl  %ebx, 20(%edx)
    movl  %esi, 24(%edx)
    movl  %edi, 28(%edx)
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");

extern "C" std::uint32_t TolvexCallWithSlots(const void* function, const std::uint32_t* slots,
                                             std::uint32_t count, std::uint32_t* registers);

namespace TolvexTest {

StdcallOutcome CallStdcall(const void* function, const std::vector<std::uint32_t>& slots) {
    std::uint32_t registers[8] = {};
    StdcallOutcome outcome;
    outcome.result = TolvexCallWithSlots(function, slots.data(),
                                         static_cast<std::uint32_t>(slots.size()), registers);
    outcome.stackBefore = registers[0];
    outcome.stackAfter = registers[4];
    outcome.calleeSavedKept =
        registers[1] == registers[5] && registers[2] == registers[6] && registers[3] == registers[7];
    return outcome;
}

std::vector<std::uint32_t> Int64Slots(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
}

std::uint32_t PointerSlot(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace TolvexTest

#endif
