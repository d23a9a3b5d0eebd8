#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Platform {

FileHandle OpenFile(const std::string& name, unsigned access, unsigned /*share*/,
                    FileDisposition disposition) {
    // POSIX has no share modes: other openers are never locked out.
    int flags = O_CLOEXEC;
    const bool writes = access & (AccessWrite | AccessAppend);
    if ((access & AccessRead) && writes)
        flags |= O_RDWR;
    else if (writes)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (access & AccessAppend) flags |= O_APPEND;
    switch (disposition) {
        case FileDisposition::OpenAlways: flags |= O_CREAT; break;
        case FileDisposition::OpenExisting: break;
        case FileDisposition::CreateAlways: flags |= O_CREAT | O_TRUNC; break;
    }
    const int fd = ::open(name.c_str(), flags, 0666);
    return fd < 0 ? InvalidFileHandle : static_cast<FileHandle>(fd);
}

std::size_t ReadFromFile(FileHandle file, void* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(static_cast<int>(file), static_cast<char*>(data) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t WriteToFile(FileHandle file, const void* data, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(static_cast<int>(file), static_cast<const char*>(data) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void CloseFile(FileHandle file) {
    if (file != InvalidFileHandle) ::close(static_cast<int>(file));
}

bool FileExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace Platform
