// The buffered, locked log file. Every line goes through an 8000-byte buffer and
// is appended to the file at once; the file is opened only for the moment of a
// flush. Nothing here reports an error: a file that cannot be opened loses its
// lines silently.
#pragma once

#include <cstddef>
#include <string>

namespace LogFile {

inline constexpr std::size_t LogBufferSize = 8000;

void InitializeUnit();
void FinalizeUnit();

// The log file's name; relative names resolve at each flush. Empty: logging is off.
void SetLogFileName(const std::string& name);
std::string GetLogFileName();

// Writes the text and CR LF, then flushes; the whole line is written under the log's lock.
void LogWrite(const std::string& text);
// Copies bytes into the buffer, flushing whenever it would overflow. The caller holds the lock.
void LogAppend(const char* bytes, std::size_t count);
// Appends the buffered bytes to the file and empties the buffer.
void LogFlush();

}  // namespace LogFile
