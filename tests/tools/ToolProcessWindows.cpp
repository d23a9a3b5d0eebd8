// RunTool on Windows: the tool beside this test program, where the Windows build
// puts both (and from where they run wherever they are copied), started with
// CreateProcessA; its standard output and error arrive through two pipes, read at
// the same time so that neither fills up while the tool waits to write the other.
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <thread>

#include "tools/ToolProcess.h"
#include "tools/WindowsCommandLine.h"

namespace TolvexTest {

namespace {

std::string ToolPath() {
    char program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, program, sizeof program);
    return (std::filesystem::path(std::string(program, length)).parent_path() / TOLVEX_HOST_TOOL).string();
}

[[noreturn]] void Fail(const std::string& what) {
    const DWORD error = ::GetLastError();
    throw std::runtime_error(what + " failed with error " + std::to_string(error));
}

// Owns a handle until its scope ends or Close is called.
class Handle {
public:
    Handle() = default;
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return handle_; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    void Close() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

// A pipe for one of the tool's outputs: the tool inherits the write end, this
// process keeps the read end to itself.
void CreateOutputPipe(SECURITY_ATTRIBUTES& inheritable, Handle& read, Handle& write) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) Fail("CreatePipe");
    read.Reset(readEnd);
    write.Reset(writeEnd);
    if (!::SetHandleInformation(read.Get(), HANDLE_FLAG_INHERIT, 0)) Fail("SetHandleInformation");
}

// Everything written to the pipe until every write end is closed: ReadFile then
// fails with ERROR_BROKEN_PIPE.
std::string ReadToEnd(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD count = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &count, nullptr)) bytes.append(buffer, count);
    return bytes;
}

}  // namespace

ToolRun RunTool(const std::vector<std::string>& arguments) {
    const std::string tool = ToolPath();
    std::vector<std::string> words{tool};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::string commandLine = WindowsCommandLine(words);

    // The tool reads no input: it gets an empty one.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Handle input, outRead, outWrite, errRead, errWrite;
    input.Reset(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (input.Get() == INVALID_HANDLE_VALUE) Fail("CreateFileA NUL");
    CreateOutputPipe(inheritable, outRead, outWrite);
    CreateOutputPipe(inheritable, errRead, errWrite);

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.Get();
    startup.hStdOutput = outWrite.Get();
    startup.hStdError = errWrite.Get();
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(tool.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &started))
        Fail("CreateProcessA " + tool);
    Handle process, mainThread;
    process.Reset(started.hProcess);
    mainThread.Reset(started.hThread);
    // The tool holds its own copies now; the reads end when it has closed them.
    input.Close();
    outWrite.Close();
    errWrite.Close();

    ToolRun run;
    std::thread errorReader([&] { run.err = ReadToEnd(errRead.Get()); });
    run.out = ReadToEnd(outRead.Get());
    errorReader.join();

    DWORD exitCode = 0;
    if (::WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.Get(), &exitCode))
        Fail("waiting for " + tool);
    run.status = static_cast<int>(exitCode);
    return run;
}

}  // namespace TolvexTest
