// The bundled example scenario (examples/in.xml), compiled into the tool so that
// the demo needs no source tree.
#pragma once

namespace TolvexHost {

extern const char* const ExampleScenarioText;

}  // namespace TolvexHost
