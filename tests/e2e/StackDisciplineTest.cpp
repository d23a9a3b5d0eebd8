// Every export is stdcall with the agreed argument bytes: called through plain
// machine code, it returns with the stack pointer where it was before the host
// pushed the arguments, and with the callee-saved registers kept.
#include "e2e/StdcallThunk.h"

#if defined(TOLVEX_TEST_STDCALL_THUNK)

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "support/LibraryFixture.h"

namespace TolvexTest {
namespace {

// Slots as a host pushes them: 44, 32, 12 and 8 bytes of arguments.
struct StackCase {
    const char* name;
    std::function<std::vector<std::uint32_t>(HostBuffers&)> slots;
};

std::vector<std::uint32_t> Join(std::vector<std::uint32_t> first, const std::vector<std::uint32_t>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

const StackCase StackCases[] = {
    {"GetCardInfoEx",
     [](HostBuffers& b) {
         return Join(Int64Slots(1234), {7, 2, PointerSlot(&b.cardInfo), PointerSlot(b.input),
                                        sizeof b.input, 3, PointerSlot(&b.outBuf),
                                        PointerSlot(&b.outLen), PointerSlot(&b.outKind)});
     }},
    {"TransactionsEx",
     [](HostBuffers& b) {
         return std::vector<std::uint32_t>{0, 0, PointerSlot(b.input), sizeof b.input, 3,
                                           PointerSlot(&b.outBuf), PointerSlot(&b.outLen),
                                           PointerSlot(&b.outKind)};
     }},
    {"GetCardImageEx",
     [](HostBuffers& b) { return Join(Int64Slots(0), {PointerSlot(&b.cardImage)}); }},
    {"FindEmail",
     [](HostBuffers& b) {
         return std::vector<std::uint32_t>{PointerSlot("nobody@example.org"), PointerSlot(&b.emailCard)};
     }},
};

TEST_F(LibraryTest, EveryExportPopsExactlyItsArgumentsAndKeepsCalleeSavedRegisters) {
    for (const StackCase& stackCase : StackCases) {
        SCOPED_TRACE(stackCase.name);
        const void* function = Library().Symbol(stackCase.name);
        ASSERT_NE(function, nullptr);
        HostBuffers buffers;
        const std::vector<std::uint32_t> slots = stackCase.slots(buffers);
        StdcallOutcome call;
        const CallOutcome outcome = CallExport([&] {
            call = CallStdcall(function, slots);
            return static_cast<std::int32_t>(call.result);
        });
        ASSERT_FALSE(outcome.failed) << outcome.className << ": " << outcome.message;
        EXPECT_EQ(call.stackAfter, call.stackBefore)
            << "the callee popped "
            << static_cast<std::int32_t>(slots.size() * 4 + (call.stackAfter - call.stackBefore))
            << " bytes of " << slots.size() * 4;
        EXPECT_TRUE(call.calleeSavedKept);
    }
}

}  // namespace
}  // namespace TolvexTest

#endif
