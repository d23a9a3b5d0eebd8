#include "log/InputDump.h"

namespace LogFile {

std::string InputDumpName(std::int32_t unit) { return "In" + std::to_string(unit) + ".txt"; }

Platform::FileHandle OpenInputDump(std::int32_t unit) {
    const std::string name = InputDumpName(unit);
    if (Platform::FileExists(name)) {
        return Platform::OpenFile(name, Platform::AccessAppend, Platform::ShareRead | Platform::ShareWrite,
                                  Platform::FileDisposition::OpenExisting);
    }
    const Platform::FileHandle file =
        Platform::OpenFile(name, Platform::AccessRead | Platform::AccessWrite, Platform::ShareNone,
                           Platform::FileDisposition::CreateAlways);
    static const unsigned char byteOrderMark[3] = {0xEF, 0xBB, 0xBF};
    Platform::WriteFile(file, byteOrderMark, sizeof byteOrderMark);
    return file;
}

void WriteInputDump(std::int32_t unit, const std::string& logLine, const void* input,
                    std::size_t inputLength) {
    const Platform::FileHandle file = OpenInputDump(unit);
    Platform::WriteFile(file, logLine.data(), logLine.size());
    Platform::WriteFile(file, "\r\n", 2);
    Platform::WriteFile(file, input, inputLength);
    Platform::CloseFile(file);
}

}  // namespace LogFile
