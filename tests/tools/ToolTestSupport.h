// The common ground of the tool tests: a scratch directory holding the example
// scenario as in.xml.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/ExampleScenario.h"
#include "support/ScratchDirectory.h"
#include "tools/JsonValue.h"
#include "tools/ToolProcess.h"

namespace TolvexTest {

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override { WriteWholeFile("in.xml", ExampleScenarioText); }

    static void WriteScenario(const std::string& answers) {
        WriteWholeFile("in.xml", "<?xml version=\"1.0\"?>\n<Root>\n" + answers + "\n</Root>\n");
    }

    ScratchDirectory directory;
};

}  // namespace TolvexTest
