// demo: the example scenario in a fresh directory, one short session that shows
// every export, then the log and the dump files the session left.
#pragma once

#include <string>

namespace TolvexHost {

// The session, as a script of call commands.
extern const char* const DemoScript;

}  // namespace TolvexHost
