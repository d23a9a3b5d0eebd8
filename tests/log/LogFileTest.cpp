#include "log/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "support/ScratchDirectory.h"

namespace {

using TolvexTest::ReadWholeFile;
using TolvexTest::ScratchDirectory;
namespace fs = std::filesystem;

// Each test logs into "tolvex.log" of a fresh directory and leaves logging off.
class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override { LogFile::SetLogFileName("tolvex.log"); }
    void TearDown() override { LogFile::SetLogFileName(""); }

    // Appends under the log's lock, as LogWrite does.
    static void AppendLocked(const std::string& bytes) {
        LogFile::LogAppend(bytes.data(), bytes.size());
    }

    ScratchDirectory directory;
};

TEST_F(LogFileTest, EmptyTextWritesJustTheLineEnd) {
    LogFile::LogWrite("");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), "\r\n");
}

TEST_F(LogFileTest, LinesAreAppendedToExistingContent) {
    TolvexTest::WriteWholeFile("tolvex.log", "earlier\r\n");
    LogFile::LogWrite("first");
    LogFile::LogWrite("second");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), "earlier\r\nfirst\r\nsecond\r\n");
}

TEST_F(LogFileTest, BytesAreWrittenUnchanged) {
    const std::string line("caf\xE9 \x01\x7F\xFF tab\t", 13);
    LogFile::LogWrite(line);
    EXPECT_EQ(ReadWholeFile("tolvex.log"), line + "\r\n");
}

TEST_F(LogFileTest, EmptyFileNameTurnsLoggingOff) {
    LogFile::SetLogFileName("");
    LogFile::LogWrite("lost");
    EXPECT_FALSE(fs::exists("tolvex.log"));
    EXPECT_TRUE(fs::is_empty(fs::current_path()));
}

TEST_F(LogFileTest, ExactlyFullBufferIsWrittenByOneFlush) {
    // 7998 bytes and CR LF fill the buffer to 8000 without an early flush.
    AppendLocked(std::string(7998, 'a'));
    AppendLocked("\r\n");
    EXPECT_FALSE(fs::exists("tolvex.log"));
    LogFile::LogFlush();
    EXPECT_EQ(ReadWholeFile("tolvex.log"), std::string(7998, 'a') + "\r\n");
}

TEST_F(LogFileTest, OverlongTextGoesOutInPiecesOfTheBufferSize) {
    const std::string line = std::string(8000, 'b') + "c";
    AppendLocked(line);
    // The first 8000 bytes were flushed to make room for the last one.
    EXPECT_EQ(ReadWholeFile("tolvex.log"), std::string(8000, 'b'));
    AppendLocked("\r\n");
    LogFile::LogFlush();
    EXPECT_EQ(ReadWholeFile("tolvex.log"), line + "\r\n");
}

TEST_F(LogFileTest, LongLinesOfManyBuffersArriveWhole) {
    std::string line;
    for (int i = 0; i < 30000; ++i) line += static_cast<char>('A' + i % 26);
    LogFile::LogWrite(line);
    LogFile::LogWrite("next");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), line + "\r\nnext\r\n");
}

TEST_F(LogFileTest, UnopenableFileLosesLinesUntilItCanBeOpened) {
    fs::create_directory("tolvex.log");
    LogFile::LogWrite("lost");
    EXPECT_TRUE(fs::is_directory("tolvex.log"));
    fs::remove("tolvex.log");
    LogFile::LogWrite("kept");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), "kept\r\n");
}

TEST_F(LogFileTest, DeletedFileIsCreatedAnew) {
    LogFile::LogWrite("one");
    fs::remove("tolvex.log");
    LogFile::LogWrite("two");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), "two\r\n");
}

TEST_F(LogFileTest, RelativeNameFollowsTheCurrentDirectory) {
    fs::create_directory("elsewhere");
    LogFile::LogWrite("here");
    fs::current_path("elsewhere");
    LogFile::LogWrite("there");
    fs::current_path("..");
    EXPECT_EQ(ReadWholeFile("tolvex.log"), "here\r\n");
    EXPECT_EQ(ReadWholeFile("elsewhere/tolvex.log"), "there\r\n");
}

TEST_F(LogFileTest, LinesOfConcurrentWritersStayWholeAndInOrder) {
    constexpr int threadCount = 8;
    constexpr int linesPerThread = 1000;
    std::vector<std::thread> writers;
    for (int t = 0; t < threadCount; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < linesPerThread; ++i)
                LogFile::LogWrite("thread " + std::to_string(t) + " line " + std::to_string(i) + " " +
                                  std::string(static_cast<size_t>(i % 50), 'x'));
        });
    }
    for (std::thread& writer : writers) writer.join();

    std::istringstream content(ReadWholeFile("tolvex.log"));
    std::vector<int> nextLine(threadCount, 0);
    std::string line;
    int total = 0;
    while (std::getline(content, line)) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r') << "line without CR LF: " << line;
        line.pop_back();
        int thread = -1, index = -1;
        char tail[64] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d %63s", &thread, &index, tail) >= 2, true)
            << line;
        ASSERT_GE(thread, 0);
        ASSERT_LT(thread, threadCount);
        EXPECT_EQ(index, nextLine[static_cast<size_t>(thread)]++) << "out of order: " << line;
        EXPECT_EQ(line, "thread " + std::to_string(thread) + " line " + std::to_string(index) + " " +
                            std::string(static_cast<size_t>(index % 50), 'x'));
        ++total;
    }
    EXPECT_EQ(total, threadCount * linesPerThread);
}

}  // namespace
