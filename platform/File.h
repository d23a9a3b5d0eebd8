// Plain file handles, as the log and the dump files use them: opened for one
// record, written, closed. Every operation on an invalid handle fails quietly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Platform {

using FileHandle = std::intptr_t;
inline constexpr FileHandle InvalidFileHandle = -1;

// AccessAppend is write access for records added at the end: the file is
// positioned at its end when opened, and on POSIX every write goes to the end.
enum FileAccess : unsigned { AccessRead = 1, AccessWrite = 2, AccessAppend = 4 };
enum FileShare : unsigned { ShareNone = 0, ShareRead = 1, ShareWrite = 2, ShareDelete = 4 };
enum class FileDisposition {
    OpenAlways,    // open, or create when missing
    OpenExisting,  // open; fail when missing
    CreateAlways,  // create, or truncate when present
};

FileHandle OpenFile(const std::string& name, unsigned access, unsigned share,
                    FileDisposition disposition);
// Transfers count bytes from the file position on, going on after interrupted
// and short transfers; returns how many were transferred (fewer only at the end
// of the file or when the system fails).
std::size_t ReadFromFile(FileHandle file, void* data, std::size_t count);
std::size_t WriteToFile(FileHandle file, const void* data, std::size_t count);
// Writes the whole block; the result says whether it succeeded.
inline bool WriteFile(FileHandle file, const void* data, std::size_t count) {
    return file != InvalidFileHandle && WriteToFile(file, data, count) == count;
}
void CloseFile(FileHandle file);
// True when a file (not a directory) of that name exists.
bool FileExists(const std::string& name);

}  // namespace Platform
