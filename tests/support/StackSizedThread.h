// Runs work on a thread of its own with a stack of a chosen size, as a host may
// give its threads (1 MiB is the Windows default), and waits for it.
#pragma once

#include <cstddef>
#include <functional>

namespace TolvexTest {

inline constexpr std::size_t HostThreadStackSize = 1024 * 1024;

// Runs the action on a new thread with the given stack size; an exception that
// leaves the action is thrown again in the caller.
void RunWithStackSize(std::size_t stackSize, const std::function<void()>& action);

}  // namespace TolvexTest
