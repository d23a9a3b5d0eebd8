#include "log/InputDump.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ScratchDirectory.h"

namespace {

using TolvexTest::ReadWholeFile;
using TolvexTest::ScratchDirectory;
namespace fs = std::filesystem;

const std::string ByteOrderMark = "\xEF\xBB\xBF";

TEST(InputDumpName, IsInThenTheSignedUnitThenTxt) {
    EXPECT_EQ(LogFile::InputDumpName(2), "In2.txt");
    EXPECT_EQ(LogFile::InputDumpName(0), "In0.txt");
    EXPECT_EQ(LogFile::InputDumpName(-1), "In-1.txt");
    EXPECT_EQ(LogFile::InputDumpName(255), "In255.txt");
    EXPECT_EQ(LogFile::InputDumpName(-2147483647 - 1), "In-2147483648.txt");
}

class InputDumpTest : public ::testing::Test {
protected:
    ScratchDirectory directory;
};

TEST_F(InputDumpTest, FirstRecordCreatesTheFileWithByteOrderMark) {
    LogFile::WriteInputDump(3, "line one", "abc", 3);
    EXPECT_EQ(ReadWholeFile("In3.txt"), ByteOrderMark + "line one\r\nabc");
}

TEST_F(InputDumpTest, LaterRecordsFollowTheLastInputByteDirectly) {
    LogFile::WriteInputDump(3, "first", "12", 2);
    LogFile::WriteInputDump(3, "second", "345", 3);
    EXPECT_EQ(ReadWholeFile("In3.txt"), ByteOrderMark + "first\r\n12second\r\n345");
}

TEST_F(InputDumpTest, DeletedFileGetsANewByteOrderMark) {
    LogFile::WriteInputDump(3, "first", "1", 1);
    fs::remove("In3.txt");
    LogFile::WriteInputDump(3, "again", "2", 1);
    EXPECT_EQ(ReadWholeFile("In3.txt"), ByteOrderMark + "again\r\n2");
}

TEST_F(InputDumpTest, ExistingEmptyFileGetsNoByteOrderMark) {
    TolvexTest::WriteWholeFile("In3.txt", "");
    LogFile::WriteInputDump(3, "line", "x", 1);
    EXPECT_EQ(ReadWholeFile("In3.txt"), "line\r\nx");
}

TEST_F(InputDumpTest, InputBytesAreWrittenUnchanged) {
    const std::string input("\r\n\0\xFF\x1A", 5);
    LogFile::WriteInputDump(-1, "l", input.data(), input.size());
    EXPECT_EQ(ReadWholeFile("In-1.txt"), ByteOrderMark + "l\r\n" + input);
}

TEST_F(InputDumpTest, DirectoryOfTheDumpNameLosesTheRecordQuietly) {
    fs::create_directory("In3.txt");
    LogFile::WriteInputDump(3, "lost", "x", 1);
    EXPECT_TRUE(fs::is_directory("In3.txt"));
    EXPECT_TRUE(fs::is_empty("In3.txt"));
}

TEST_F(InputDumpTest, UnitsHaveFilesOfTheirOwn) {
    LogFile::WriteInputDump(1, "a", "1", 1);
    LogFile::WriteInputDump(2, "b", "2", 1);
    EXPECT_EQ(ReadWholeFile("In1.txt"), ByteOrderMark + "a\r\n1");
    EXPECT_EQ(ReadWholeFile("In2.txt"), ByteOrderMark + "b\r\n2");
}

}  // namespace
