#include "platform/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/Exception.h"

namespace Platform {

namespace {

int ToDescriptor(FileHandle handle) { return static_cast<int>(handle); }

std::string CurrentDirectory() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// The absolute path of a name, with "." and ".." segments resolved by text.
std::string FullFileName(const std::string& fileName) {
    const std::string path =
        !fileName.empty() && fileName[0] == '/' ? fileName : CurrentDirectory() + "/" + fileName;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        const std::string segment = path.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& segment : segments) result += "/" + segment;
    return result.empty() ? "/" : result;
}

// The system's text for an error number, without trailing blanks or full stops.
std::string SystemErrorMessage(int error) {
    char buffer[256];
    std::string text = ::strerror_r(error, buffer, sizeof buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.'))
        text.pop_back();
    return text;
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileStreamMode mode)
    : readOnly_(mode == FileStreamMode::OpenRead) {
    const bool create = mode == FileStreamMode::Create;
    handle_ = create ? OpenFile(fileName, AccessRead | AccessWrite, ShareNone,
                                FileDisposition::CreateAlways)
                     : OpenFile(fileName, AccessRead, ShareRead, FileDisposition::OpenExisting);
    int error = errno;
    if (handle_ != InvalidFileHandle && !create) {
        // A directory opens for reading here but is no file to read.
        struct stat info {};
        if (::fstat(ToDescriptor(handle_), &info) == 0 && S_ISDIR(info.st_mode)) {
            CloseFile(handle_);
            handle_ = InvalidFileHandle;
            error = EISDIR;
        } else if (S_ISREG(info.st_mode)) {
            knownSize_ = static_cast<std::int64_t>(info.st_size);
        }
    }
    if (handle_ == InvalidFileHandle) {
        RaiseFileStreamError(mode, FullFileName(fileName), SystemErrorMessage(error));
    }
}

TFileStream::~TFileStream() { CloseFile(handle_); }

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return ReadFromFile(handle_, buffer, count); }

std::size_t TFileStream::Write(const void* buffer, std::size_t count) { return WriteToFile(handle_, buffer, count); }

std::int64_t TFileStream::GetSize() {
    if (knownSize_ >= 0) return knownSize_;
    struct stat status;
    if (::fstat(ToDescriptor(handle_), &status) == 0 && S_ISREG(status.st_mode)) {
        if (readOnly_) knownSize_ = static_cast<std::int64_t>(status.st_size);
        return static_cast<std::int64_t>(status.st_size);
    }
    return TStream::GetSize();
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    int whence = SEEK_SET;
    switch (origin) {
        case SeekOrigin::Beginning: whence = SEEK_SET; break;
        case SeekOrigin::Current: whence = SEEK_CUR; break;
        case SeekOrigin::End: whence = SEEK_END; break;
    }
    return ::lseek(ToDescriptor(handle_), static_cast<off_t>(offset), whence);
}

}  // namespace Platform
