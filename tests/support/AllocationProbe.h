// Watches the sizes that the program asks operator new for, so a test can show
// that an input was refused without allocating in proportion to what it claimed.
// The program's operator new is replaced for this; builds with a sanitizer keep
// the sanitizer's own, and the probe reports itself unavailable there.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

namespace TolvexTest {

// The largest single allocation any thread asked for while `action` ran; empty
// when the probe is not available in this build.
std::optional<std::size_t> LargestAllocationDuring(const std::function<void()>& action);

}  // namespace TolvexTest
