// compile and render, and calls answered from a compiled scenario.
#include <filesystem>

#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;
using Documents = ToolTest;

// Until the XML loader reads binary images, calls on a compiled scenario fail
// with this message; the tests that need it are skipped then.
bool LoaderReadsBinaryImages() {
    WriteWholeFile("probe.xml", "<Root/>");
    RunTool({"compile", "probe.xml", "probe.bin"});
    return RunTool({"render", "probe.bin"}).err.find("cannot be loaded by this build") == std::string::npos;
}

const char* const Session =
    "card-info 1001 --inp-kind 1\ncard-info 1001\ncard-info 1002\ncard-info 4242\n"
    "transactions --tx kind=2,summa=600.00 --tx kind=1,summa=5\ncard-image 1001\ncard-image 1002\n"
    "find-email anna.petrova@example.com\nfind-email ivan@example.com\n";

TEST_F(Documents, CompiledScenarioGivesTheSameAnswers) {
    if (!LoaderReadsBinaryImages()) GTEST_SKIP() << "this build's XML loader does not read binary images";
    WriteWholeFile("session.txt", Session);
    const ToolRun text = RunTool({"run", "session.txt"});
    ASSERT_EQ(text.status, 0) << text.err;

    ASSERT_EQ(RunTool({"compile", "in.xml", "in.bin"}).status, 0);
    EXPECT_EQ(ReadWholeFile("in.bin").rfind("< binary-xml >", 0), 0u);
    std::filesystem::rename("in.bin", "in.xml");
    const ToolRun binary = RunTool({"run", "session.txt"});
    ASSERT_EQ(binary.status, 0) << binary.err;
    EXPECT_EQ(binary.out, text.out);
}

TEST_F(Documents, CompileOfABrokenFileFails) {
    WriteWholeFile("broken.xml", "<Root>");
    const ToolRun run = RunTool({"compile", "broken.xml", "out.bin"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("tolvex-host: compile: TolvexXmlException: "), std::string::npos) << run.err;
    EXPECT_EQ(RunTool({"compile", "in.xml"}).status, 2);
}

TEST_F(Documents, RenderIndentedOrCompact) {
    WriteScenario("<GetCardImageEx  CardCode='1'   FileName=\"a&amp;b\"/>");
    const ToolRun indented = RunTool({"render", "in.xml"});
    ASSERT_EQ(indented.status, 0);
    EXPECT_NE(indented.out.find("\n\t<GetCardImageEx CardCode=\"1\" FileName=\"a&amp;b\"/>"), std::string::npos)
        << indented.out;
    const ToolRun compact = RunTool({"render", "in.xml", "--compact"});
    ASSERT_EQ(compact.status, 0);
    EXPECT_NE(compact.out.find("<Root><GetCardImageEx CardCode=\"1\" FileName=\"a&amp;b\"/></Root>"), std::string::npos)
        << compact.out;
    EXPECT_EQ(RunTool({"render", "in.xml", "--pretty"}).status, 2);
}

TEST_F(Documents, RenderOfACompiledFileShowsItsText) {
    if (!LoaderReadsBinaryImages()) GTEST_SKIP() << "this build's XML loader does not read binary images";
    ASSERT_EQ(RunTool({"compile", "in.xml", "in.bin"}).status, 0);
    EXPECT_EQ(RunTool({"render", "in.bin"}).out, RunTool({"render", "in.xml"}).out);
}

}  // namespace
