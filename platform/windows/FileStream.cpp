#include "platform/Stream.h"

#include <windows.h>

#include "base/Exception.h"

namespace Platform {

namespace {

HANDLE ToHandle(FileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

std::string FullFileName(const std::string& fileName) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(fileName.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0) return fileName;
    if (length < sizeof buffer) return std::string(buffer, length);
    std::string path(length, '\0');
    const DWORD written = ::GetFullPathNameA(fileName.c_str(), length, path.data(), nullptr);
    path.resize(written < length ? written : 0);
    return path.empty() ? fileName : path;
}

// The system's text for an error code, without trailing blanks, line breaks or full stops.
std::string SystemErrorMessage(DWORD error) {
    char buffer[256];
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                        FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                    nullptr, error, 0, buffer, sizeof buffer, nullptr);
    while (length > 0 &&
           (static_cast<unsigned char>(buffer[length - 1]) <= 32 || buffer[length - 1] == '.'))
        --length;
    return std::string(buffer, length);
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileStreamMode mode)
    : readOnly_(mode == FileStreamMode::OpenRead) {
    const bool create = mode == FileStreamMode::Create;
    handle_ = create ? OpenFile(fileName, AccessRead | AccessWrite, ShareNone,
                                FileDisposition::CreateAlways)
                     : OpenFile(fileName, AccessRead, ShareRead, FileDisposition::OpenExisting);
    if (handle_ == InvalidFileHandle) {
        const DWORD error = ::GetLastError();
        RaiseFileStreamError(mode, FullFileName(fileName), SystemErrorMessage(error));
    }
}

TFileStream::~TFileStream() { CloseFile(handle_); }

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return ReadFromFile(handle_, buffer, count); }

std::size_t TFileStream::Write(const void* buffer, std::size_t count) { return WriteToFile(handle_, buffer, count); }

std::int64_t TFileStream::GetSize() {
    if (knownSize_ >= 0) return knownSize_;
    LARGE_INTEGER size;
    if (::GetFileType(ToHandle(handle_)) == FILE_TYPE_DISK && ::GetFileSizeEx(ToHandle(handle_), &size)) {
        if (readOnly_) knownSize_ = size.QuadPart;
        return size.QuadPart;
    }
    return TStream::GetSize();
}

std::int64_t TFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    DWORD method = FILE_BEGIN;
    switch (origin) {
        case SeekOrigin::Beginning: method = FILE_BEGIN; break;
        case SeekOrigin::Current: method = FILE_CURRENT; break;
        case SeekOrigin::End: method = FILE_END; break;
    }
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(ToHandle(handle_), distance, &position, method)) return -1;
    return position.QuadPart;
}

}  // namespace Platform
