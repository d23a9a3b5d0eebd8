// The bundled example scenario (examples/in.xml), compiled in with tolvex-host's
// copy so that the tests need no path to the source tree (which a Windows test
// program cannot name).
#pragma once

#include "tools/ExampleScenario.h"

namespace TolvexTest {

using TolvexHost::ExampleScenarioText;

}  // namespace TolvexTest
