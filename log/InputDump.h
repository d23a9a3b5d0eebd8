// The per-unit dump files of the host's input buffers: "In<unit>.txt", a UTF-8
// byte-order mark when created, then records appended at the end. Every failure
// is silent: a dump that cannot be written is lost and the call goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/File.h"

namespace LogFile {

std::string InputDumpName(std::int32_t unit);

// Opens the unit's dump file positioned at its end (creating it with the byte-order
// mark when missing). The handle may be invalid; writes to it then fail quietly.
Platform::FileHandle OpenInputDump(std::int32_t unit);

// Appends one record: the call's log line, CR LF and the input bytes.
void WriteInputDump(std::int32_t unit, const std::string& logLine, const void* input,
                    std::size_t inputLength);

}  // namespace LogFile
