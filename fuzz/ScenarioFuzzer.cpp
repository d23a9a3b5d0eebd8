// libFuzzer target for the scenario path end to end, in process. The input is
// written as "in.xml" into a private temporary directory (the process's working
// directory from the first run on) and each of the four exports is called with
// fixed, valid arguments. Their failures are C++ exceptions here and expected
// for bad scenarios; what they return must keep the boundary's promises (texts
// NUL-terminated within their fields, output texts NUL-terminated at OutLen).
// The library is loaded once for the process by its own module hooks. Corpus
// and artifact paths given to this target must be absolute: the working
// directory changes.
#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"

namespace {

// Runs between removals of the log and dump files, which every call appends to.
constexpr unsigned RunsPerCleanUp = 256;

std::string workDirectory;

[[noreturn]] void Fail(const char* call, const char* what) {
    std::fprintf(stderr, "scenario: %s: %s\n", call, what);
    std::abort();
}

// Removes every file of the working directory (the log, the dumps, in.xml).
void RemoveWorkFiles() {
    DIR* directory = opendir(".");
    if (directory == nullptr) return;
    while (const dirent* entry = readdir(directory))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) unlink(entry->d_name);
    closedir(directory);
}

void RemoveWorkDirectory() {
    RemoveWorkFiles();
    if (chdir("/") == 0) rmdir(workDirectory.c_str());
}

void EnterWorkDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tolvex-scenario-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) Fail("setup", "no working directory");
    workDirectory = pattern;
    std::atexit(RemoveWorkDirectory);
}

void WriteScenario(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(Tolvex29::ScenarioFileName, "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        Fail("setup", "in.xml not written");
}

// The text field holds a NUL within its first limit + 1 bytes.
void CheckField(const char* call, const char* field, std::size_t limit) {
    if (strnlen(field, limit + 1) > limit) Fail(call, "text field without its NUL");
}

// OutLen bytes and a NUL after them (the text itself may hold NULs: the file's bytes pass unchanged).
void CheckOutput(const char* call, const char* outBuf, std::int32_t outLen) {
    if (outBuf == nullptr || outLen < 0 || outBuf[outLen] != '\0') Fail(call, "output text without its NUL");
}

constexpr std::int64_t CardCode = 1001;
constexpr char Input[] = "input block";

void CallGetCardInfoEx() {
    TCardInfoRec info{};
    const char* outBuf = nullptr;
    std::int32_t outLen = -1;
    std::int16_t outKind = 0;
    if (GetCardInfoEx(CardCode, 0, 1, &info, Input, sizeof Input - 1, 1, &outBuf, &outLen, &outKind) != 0) return;
    CheckField("GetCardInfoEx", info.Holder, 40);
    for (const char* field : {info.WhyLock, info.DopInfo, info.ScrMessage, info.PrnMessage})
        CheckField("GetCardInfoEx", field, 255);
    if (outBuf != nullptr) CheckOutput("GetCardInfoEx", outBuf, outLen);
}

void CallTransactionsEx() {
    TTransactionRec first{};
    first.CardCode = CardCode;
    first.Account = 7;
    first.Kind = 1;
    first.Summa = 12345;
    first.Unit = 1;
    TTransactionRec second = first;
    second.Kind = 2;
    second.Unit = 2;
    TTransactionRec* const transactions[] = {&first, &second};
    const char* outBuf = nullptr;
    std::int32_t outLen = -1;
    std::int16_t outKind = 0;
    TransactionsEx(2, transactions, Input, sizeof Input - 1, 1, &outBuf, &outLen, &outKind);
    CheckOutput("TransactionsEx", outBuf, outLen);
}

void CallGetCardImageEx() {
    TCardImageRec rec{};
    if (GetCardImageEx(CardCode, &rec) == 0) CheckField("GetCardImageEx", rec.FileName, 255);
}

void CallFindEmail() {
    TEmailCardRec rec{};
    if (FindEmail("holder@example.com", &rec) == 0) CheckField("FindEmail", rec.Name, 40);
}

// An export's failure is the expected end of a bad scenario.
template <class Call>
void Expecting(Call call) {
    try {
        call();
    } catch (const std::exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static unsigned runs = 0;
    if (runs == 0) EnterWorkDirectory();
    if (++runs % RunsPerCleanUp == 0) RemoveWorkFiles();
    WriteScenario(data, size);
    Expecting(CallGetCardInfoEx);
    Expecting(CallTransactionsEx);
    Expecting(CallGetCardImageEx);
    CallFindEmail();  // never fails
    return 0;
}
