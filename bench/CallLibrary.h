// The built library as the call benchmarks use it: opened with dlopen, as a
// host loads it, and its GetCardInfoEx called for the scenario's last card.
#pragma once

#include <string>

#include "host/TolvexTypes.h"

namespace TolvexBench {

// GetCardInfoEx of the built library, which then stays loaded; null when the
// library or the export cannot be loaded, with dlerror's message in error. The
// library writes to tolvex.log in the current directory as it loads, so open it
// in the scenario's directory.
TGetCardInfoEx OpenGetCardInfoEx(std::string& error);

// One call for CallCardCode: load of the scenario, lookup and release. Returns
// the output's length, or -1 when the call did not find the card.
int MeasuredCall(TGetCardInfoEx getCardInfoEx);

}  // namespace TolvexBench
