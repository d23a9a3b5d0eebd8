// tolvex-host --version: the tool's version and build, and those read from the
// library's build mark, with the path of the library it would load.
#include <filesystem>

#include "tools/ToolTestSupport.h"

namespace {

using namespace TolvexTest;
using VersionTest = ToolTest;

const std::string VersionLine = std::string("tolvex-host ") + TOLVEX_EXPECTED_VERSION + " (";

TEST_F(VersionTest, ShowsTheToolAndTheLibraryBesideItWithOneBuild) {
    const ToolRun run = RunTool({"--version"});
    ASSERT_EQ(run.status, 0) << run.err;
    const size_t lineEnd = run.out.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << run.out;
    const std::string toolLine = run.out.substr(0, lineEnd);
    ASSERT_EQ(toolLine.rfind(VersionLine, 0), 0u) << run.out;
    const std::string build = toolLine.substr(std::string("tolvex-host ").size());
    // The library beside the tool, built from the same sources with the same build.
    const std::string libraryLine = run.out.substr(lineEnd + 1);
    EXPECT_EQ(libraryLine.find("library "), 0u) << run.out;
    EXPECT_NE(libraryLine.find(": Tolvex29 " + build + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(libraryLine.back(), '\n');
    EXPECT_EQ(libraryLine.find('\n'), libraryLine.size() - 1) << run.out;
}

struct UnreadableCase {
    const char* name;
    const char* libraryContent;  // null: no such file
    const char* reason;
};

class UnreadableLibrary : public ToolTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableLibrary, ShowsTheToolAndFails) {
    if (GetParam().libraryContent) WriteWholeFile("library.bin", GetParam().libraryContent);
    const ToolRun run = RunTool({"--library", "library.bin", "--version"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind(VersionLine, 0), 0u) << run.out;
    EXPECT_EQ(run.err, "tolvex-host: " + std::filesystem::absolute("library.bin").string() + GetParam().reason + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableLibrary,
    ::testing::Values(UnreadableCase{"Missing", nullptr, " cannot be read"},
                      UnreadableCase{"WithoutBuildMark", "not a library", " holds no Tolvex29 build mark"},
                      UnreadableCase{"MarkWithoutEnd", "@(#)Tolvex29 0.1.0 (cut", " holds no Tolvex29 build mark"}),
    [](const ::testing::TestParamInfo<UnreadableCase>& info) { return std::string(info.param.name); });

TEST_F(VersionTest, TakesNoCommand) {
    const ToolRun run = RunTool({"--version", "card-info", "1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--version takes no command"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
