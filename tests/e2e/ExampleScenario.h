// The bundled example scenario (examples/in.xml), compiled into the tests so that
// they need no path to the source tree (which a Windows test program cannot name).
#pragma once

namespace TolvexTest {

extern const char* const ExampleScenarioText;

}  // namespace TolvexTest
