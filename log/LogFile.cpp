#include "log/LogFile.h"

#include <cstring>
#include <memory>

#include "base/UnitState.h"
#include "platform/CriticalSection.h"
#include "platform/File.h"

namespace LogFile {

namespace {

struct LogState {
    std::string logFileName;
    std::unique_ptr<char[]> logBuffer;  // allocated on the first append
    std::size_t logBufferFill = 0;
    Platform::CriticalSection logLock;
};

int unitInitCount = 0;
Platform::UnitState<LogState> state;

bool LoggingOn() { return state.Exists() && !state->logFileName.empty(); }

}  // namespace

void InitializeUnit() {
    if (unitInitCount++ != 0) return;
    state.Create();
    state->logLock.Initialize();
}

void FinalizeUnit() {
    if (--unitInitCount != 0) return;
    LogFlush();
    state->logLock.Delete();
    state.Destroy();
}

void SetLogFileName(const std::string& name) {
    Platform::CriticalSectionGuard guard(state->logLock);
    state->logFileName = name;
}

std::string GetLogFileName() {
    if (!state.Exists()) return {};
    Platform::CriticalSectionGuard guard(state->logLock);
    return state->logFileName;
}

void LogWrite(const std::string& text) {
    if (!LoggingOn()) return;
    Platform::CriticalSectionGuard guard(state->logLock);
    if (!text.empty()) LogAppend(text.data(), text.size());
    LogAppend("\r\n", 2);
    LogFlush();
}

void LogAppend(const char* bytes, std::size_t count) {
    LogState& log = *state;
    if (!log.logBuffer) log.logBuffer = std::make_unique<char[]>(LogBufferSize);
    while (count > 0) {
        if (log.logBufferFill > 0 && log.logBufferFill + count > LogBufferSize) LogFlush();
        const std::size_t piece = count < LogBufferSize ? count : LogBufferSize;
        std::memcpy(log.logBuffer.get() + log.logBufferFill, bytes, piece);
        bytes += piece;
        log.logBufferFill += piece;
        count -= piece;
    }
}

void LogFlush() {
    if (!state.Exists()) return;
    LogState& log = *state;
    Platform::CriticalSectionGuard guard(log.logLock);
    if (log.logBufferFill == 0 || log.logFileName.empty()) return;
    const Platform::FileHandle file = Platform::OpenFile(
        log.logFileName, Platform::AccessAppend,
        Platform::ShareRead | Platform::ShareWrite | Platform::ShareDelete,
        Platform::FileDisposition::OpenAlways);
    if (file != Platform::InvalidFileHandle) {
        Platform::WriteFile(file, log.logBuffer.get(), log.logBufferFill);
        Platform::CloseFile(file);
    }
    log.logBufferFill = 0;
}

}  // namespace LogFile
