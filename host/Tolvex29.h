// The library body: what it keeps between calls and the helpers every export uses.
#pragma once

#include <string>

#include "platform/LocaleSettings.h"

namespace Tolvex29 {

inline constexpr const char* LogFileName = "tolvex.log";
inline constexpr const char* ScenarioFileName = "in.xml";

// Units in load order; finalised in reverse.
void LibraryLoaded();
void LibraryUnloading();

// The output texts handed to the host, alive until replaced or unloaded.
std::string& CardInfoOutput();
std::string& TransactionsOutput();

// The regional settings read at load.
const Platform::LocaleSettings& LoadedLocaleSettings();

// The current local date and time as the log's call lines begin with it.
std::string CallTimeText();

}  // namespace Tolvex29
