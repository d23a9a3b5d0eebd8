// Byte streams: the abstract TStream, a file stream over the operating system's
// file calls and a growable stream in memory. Counts and positions are 64-bit;
// ReadBuffer and WriteBuffer turn a short transfer into the stream failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/File.h"

namespace Platform {

enum class SeekOrigin { Beginning, Current, End };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Transfers up to count bytes and returns how many were transferred.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position and returns the new one; -1, with the position unchanged,
    // when the target lies before the start or the system refuses.
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t GetSize();

    std::int64_t GetPosition() { return Seek(0, SeekOrigin::Current); }
    void SetPosition(std::int64_t position) { Seek(position, SeekOrigin::Beginning); }

    // Reads exactly count bytes or fails with EReadError "Stream read error".
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly count bytes or fails with EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, std::size_t count);
};

enum class FileStreamMode {
    OpenRead,  // an existing file, read only; others may read it but not write it
    Create,    // created or truncated, read and write, not shared
};

// A stream over a file. Opening fails with EFOpenError "Cannot open file "%s". %s"
// or EFCreateError "Cannot create file "%s". %s": the file's full path and the
// system's message for the failure. The file is closed when the stream goes.
// Raises the failure of opening (EFOpenError) or creating (EFCreateError) a file
// stream: "Cannot open file "<full path>". <reason>" or "Cannot create file ...".
[[noreturn]] void RaiseFileStreamError(FileStreamMode mode, const std::string& fullPath, const std::string& reason);

class TFileStream final : public TStream {
public:
    TFileStream(const std::string& fileName, FileStreamMode mode);
    ~TFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    // The size the system records for a regular file, in one call instead of three
    // seeks; anything else is measured by seeking. A file opened for reading, which
    // others may not write meanwhile, is asked once.
    std::int64_t GetSize() override;

private:
    FileHandle handle_ = InvalidFileHandle;
    bool readOnly_;
    std::int64_t knownSize_ = -1;  // of a regular file opened for reading, once known
};

// A stream over bytes in memory; writing past the end grows it.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(bytes_.size()); }

    void SetSize(std::size_t size) { bytes_.resize(size); }
    void Clear();
    // The stream's whole content.
    std::string_view Bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

}  // namespace Platform
