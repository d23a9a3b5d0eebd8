#include "platform/File.h"

#include <windows.h>

#include <algorithm>

namespace Platform {

namespace {

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// At most 1 GiB a call: the system counts a transfer in 32 bits.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

}  // namespace

FileHandle OpenFile(const std::string& name, unsigned access, unsigned share,
                    FileDisposition disposition) {
    DWORD desired = 0;
    if (access & AccessRead) desired |= GENERIC_READ;
    if (access & (AccessWrite | AccessAppend)) desired |= GENERIC_WRITE;
    DWORD shareMode = 0;
    if (share & ShareRead) shareMode |= FILE_SHARE_READ;
    if (share & ShareWrite) shareMode |= FILE_SHARE_WRITE;
    if (share & ShareDelete) shareMode |= FILE_SHARE_DELETE;
    DWORD creation = OPEN_ALWAYS;
    switch (disposition) {
        case FileDisposition::OpenAlways: creation = OPEN_ALWAYS; break;
        case FileDisposition::OpenExisting: creation = OPEN_EXISTING; break;
        case FileDisposition::CreateAlways: creation = CREATE_ALWAYS; break;
    }
    HANDLE handle = ::CreateFileA(name.c_str(), desired, shareMode, nullptr, creation,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return InvalidFileHandle;
    if (access & AccessAppend) ::SetFilePointer(handle, 0, nullptr, FILE_END);
    return reinterpret_cast<FileHandle>(handle);
}

std::size_t ReadFromFile(FileHandle file, void* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const DWORD chunk = static_cast<DWORD>(std::min(count - done, MaxTransfer));
        DWORD n = 0;
        if (!::ReadFile(ToHandle(file), static_cast<char*>(data) + done, chunk, &n, nullptr) || n == 0) break;
        done += n;
    }
    return done;
}

std::size_t WriteToFile(FileHandle file, const void* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const DWORD chunk = static_cast<DWORD>(std::min(count - done, MaxTransfer));
        DWORD n = 0;
        if (!::WriteFile(ToHandle(file), static_cast<const char*>(data) + done, chunk, &n, nullptr) || n == 0) break;
        done += n;
    }
    return done;
}

void CloseFile(FileHandle file) {
    if (file != InvalidFileHandle) ::CloseHandle(ToHandle(file));
}

bool FileExists(const std::string& name) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(name.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace Platform
