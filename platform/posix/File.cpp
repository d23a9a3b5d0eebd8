#include "platform/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

FileHandle OpenFile(const std::string& name, unsigned access, unsigned /*share*/,
                    FileDisposition disposition) {
    // POSIX has no share modes: other openers are never locked out.
    int flags = O_CLOEXEC;
    if ((access & AccessRead) && (access & AccessWrite))
        flags |= O_RDWR;
    else if (access & AccessWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (disposition) {
        case FileDisposition::OpenAlways: flags |= O_CREAT; break;
        case FileDisposition::OpenExisting: break;
        case FileDisposition::CreateAlways: flags |= O_CREAT | O_TRUNC; break;
    }
    const int fd = ::open(name.c_str(), flags, 0666);
    return fd < 0 ? InvalidFileHandle : static_cast<FileHandle>(fd);
}

bool SeekToEnd(FileHandle file) {
    return file != InvalidFileHandle && ::lseek(static_cast<int>(file), 0, SEEK_END) >= 0;
}

bool WriteFile(FileHandle file, const void* data, std::size_t count) {
    if (file == InvalidFileHandle) return false;
    const char* bytes = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t written = ::write(static_cast<int>(file), bytes, count);
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

void CloseFile(FileHandle file) {
    if (file != InvalidFileHandle) ::close(static_cast<int>(file));
}

bool FileExists(const std::string& name) {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace Platform
