// Memory and file streams.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/Exception.h"
#include "platform/Stream.h"

namespace {

using namespace Platform;

std::string ReadRest(TStream& stream) {
    std::string bytes(static_cast<std::size_t>(stream.GetSize() - stream.GetPosition()), '\0');
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// The same behaviour from both kinds of stream.
void CheckWriteSeekRead(TStream& stream) {
    stream.WriteBuffer("hello world", 11);
    EXPECT_EQ(stream.GetPosition(), 11);
    EXPECT_EQ(stream.GetSize(), 11);
    EXPECT_EQ(stream.Seek(-5, SeekOrigin::End), 6);
    EXPECT_EQ(ReadRest(stream), "world");
    stream.SetPosition(6);
    stream.WriteBuffer("there!", 6);
    EXPECT_EQ(stream.GetSize(), 12);
    EXPECT_EQ(stream.Seek(-12, SeekOrigin::Current), 0);
    EXPECT_EQ(ReadRest(stream), "hello there!");
    char byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0u);
    EXPECT_EQ(stream.Seek(-1, SeekOrigin::Beginning), -1);
    EXPECT_EQ(stream.GetPosition(), 12);
    try {
        stream.ReadBuffer(&byte, 1);
        FAIL() << "no failure";
    } catch (const EReadError& failure) {
        EXPECT_STREQ(failure.what(), "Stream read error");
    }
}

TEST(MemoryStreamTest, WritesSeeksAndReads) {
    TMemoryStream stream;
    CheckWriteSeekRead(stream);
    EXPECT_EQ(stream.Bytes(), "hello there!");
    stream.Clear();
    EXPECT_EQ(stream.GetSize(), 0);
}

TEST(MemoryStreamTest, WritingPastTheEndFillsTheGapWithZeros) {
    TMemoryStream stream("ab");
    stream.SetPosition(4);
    stream.WriteBuffer("c", 1);
    EXPECT_EQ(stream.Bytes(), std::string("ab\0\0c", 5));
}

TEST(FileStreamTest, WritesSeeksAndReads) {
    const std::string name = "tolvex-stream-test.bin";
    {
        TFileStream stream(name, FileStreamMode::Create);
        CheckWriteSeekRead(stream);
    }
    {
        TFileStream stream(name, FileStreamMode::OpenRead);
        EXPECT_EQ(ReadRest(stream), "hello there!");
        char byte = 'x';
        EXPECT_EQ(stream.Write(&byte, 1), 0u) << "a stream opened for reading writes nothing";
        EXPECT_THROW(stream.WriteBuffer(&byte, 1), EWriteError);
    }
    // Closed first: Windows keeps a file that is open without delete sharing.
    std::filesystem::remove(name);
}

TEST(FileStreamTest, CreateTruncatesAnExistingFile) {
    const std::string name = "tolvex-stream-test-truncate.bin";
    TFileStream(name, FileStreamMode::Create).WriteBuffer("long content", 12);
    TFileStream(name, FileStreamMode::Create).WriteBuffer("x", 1);
    EXPECT_EQ(TFileStream(name, FileStreamMode::OpenRead).GetSize(), 1);
    std::filesystem::remove(name);
}

TEST(FileStreamTest, DirectoryCanNeitherBeOpenedNorCreated) {
    const std::string name = "tolvex-stream-test-directory";
    std::filesystem::create_directory(name);
    EXPECT_THROW(TFileStream(name, FileStreamMode::OpenRead), EFOpenError);
    try {
        TFileStream stream(name, FileStreamMode::Create);
        FAIL() << "no failure";
    } catch (const EFCreateError& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind("Cannot create file \"", 0), 0u) << failure.what();
        EXPECT_NE(std::string(failure.what()).find(name + "\". "), std::string::npos) << failure.what();
    }
    std::filesystem::remove(name);
}

#if defined(_WIN32)
TEST(FileStreamTest, OpenForReadingLetsOthersReadButNotWrite) {
    const std::string name = "tolvex-stream-test-share.bin";
    TFileStream(name, FileStreamMode::Create).WriteBuffer("x", 1);
    {
        TFileStream reader(name, FileStreamMode::OpenRead);
        EXPECT_NO_THROW(TFileStream(name, FileStreamMode::OpenRead));
        EXPECT_THROW(TFileStream(name, FileStreamMode::Create), EFCreateError);
    }
    std::filesystem::remove(name);
}
#endif

}  // namespace
