// Loading the library and finding its four exports, as a host does.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "support/HostLibrary.h"
#include "support/LibraryFixture.h"
#include "support/ScratchDirectory.h"

namespace TolvexTest {
namespace {

TEST(LibraryLoad, CreatesTheLogWithExactlyCrLf) {
    ScratchDirectory scratch;
    HostLibrary library(LibraryPath());
    ASSERT_TRUE(library.Loaded()) << LibraryPath();
    EXPECT_EQ(ReadWholeFile(LogName), "\r\n");
}

TEST(LibraryLoad, AppendsExactlyCrLfToAnExistingLog) {
    ScratchDirectory scratch;
    WriteWholeFile(LogName, "earlier text without a line end");
    HostLibrary library(LibraryPath());
    ASSERT_TRUE(library.Loaded()) << LibraryPath();
    EXPECT_EQ(ReadWholeFile(LogName), "earlier text without a line end\r\n");
}

TEST(LibraryLoad, EveryLoadAppendsItsOwnEmptyLine) {
    ScratchDirectory scratch;
    for (int load = 0; load < 2; ++load) {
        HostLibrary library(LibraryPath());
        ASSERT_TRUE(library.Loaded()) << LibraryPath();
    }
    EXPECT_EQ(ReadWholeFile(LogName), "\r\n\r\n");
}

// A failure must not keep the library in memory: unloaded after it, the library
// goes, and the next load appends its own empty line again. The failure is raised
// on the loading thread, or on a thread of its own that has ended by the unload.
class LibraryReload : public ::testing::TestWithParam<bool> {};

TEST_P(LibraryReload, FailureDoesNotKeepTheLibraryLoaded) {
    const bool failOnOwnThread = GetParam();
    ScratchDirectory scratch;
    for (int load = 0; load < 2; ++load) {
        HostLibrary library(LibraryPath());
        ASSERT_TRUE(library.Loaded()) << LibraryPath();
        const auto fail = [&] {
            const CallOutcome outcome = CallExport([&] { return library.getCardImageEx(0, nullptr); });
            EXPECT_TRUE(outcome.failed) << "returned " << outcome.result;
        };
        if (failOnOwnThread)
            std::thread(fail).join();
        else
            fail();
    }
    const std::vector<std::string> lines = SplitCrLfLines(ReadWholeFile(LogName));
    ASSERT_EQ(lines.size(), 4u) << ReadWholeFile(LogName);
    for (int load = 0; load < 2; ++load) {
        EXPECT_EQ(lines[2 * load], "") << "load " << load;
        EXPECT_TRUE(IsCallLine(lines[2 * load + 1], "GetCardImageEx: 0"));
    }
}

INSTANTIATE_TEST_SUITE_P(FailingThread, LibraryReload, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("OwnThread") : std::string("LoadingThread");
                         });

struct ExportEntry {
    const char* name;
    unsigned ordinal;
};
constexpr ExportEntry Exports[] = {
    {"FindEmail", 1}, {"GetCardImageEx", 2}, {"TransactionsEx", 3}, {"GetCardInfoEx", 4}};

TEST_F(LibraryTest, ExportsTheFourCallsByName) {
    for (const ExportEntry& entry : Exports) EXPECT_NE(Library().Symbol(entry.name), nullptr) << entry.name;
}

#if defined(_WIN32)

void* ExportByOrdinal(const HostLibrary& library, unsigned ordinal) {
    return reinterpret_cast<void*>(
        ::GetProcAddress(static_cast<HMODULE>(library.Handle()), MAKEINTRESOURCEA(ordinal)));
}

TEST_F(LibraryTest, OrdinalsLeadToTheSameAddressesAsNames) {
    for (const ExportEntry& entry : Exports)
        EXPECT_EQ(ExportByOrdinal(Library(), entry.ordinal), Library().Symbol(entry.name)) << entry.name;
}

TEST_F(LibraryTest, HasNoOtherOrdinalsAndNoDecoratedNames) {
    EXPECT_EQ(ExportByOrdinal(Library(), 5), nullptr);
    for (const char* decorated : {"_GetCardInfoEx@44", "GetCardInfoEx@44", "_FindEmail@8", "FindEmail@8"})
        EXPECT_EQ(Library().Symbol(decorated), nullptr) << decorated;
}

#endif

}  // namespace
}  // namespace TolvexTest
