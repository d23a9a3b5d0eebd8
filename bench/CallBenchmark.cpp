// The whole export call GetCardInfoEx through the built library (load of
// in.xml, lookup of the scenario's last card, release of the document) against
// the peers' load and release of the same file: pugixml load_file, tinyxml2
// LoadFile, libxml2 xmlReadFile. The argument is the scenario's size; each size
// has its in.xml in a directory of its own under one new directory of the
// process, and every run enters it first and removes the tolvex.log the library
// appends to on each call, so the log stays within one run's calls.
// Counters: bytes of the file per second, page faults per run ("faults/call"),
// and for the peers "memory/input", the
// heap a loaded document holds divided by the file size (mallinfo2, once per
// run outside the timed loop). The call has no memory counter: it releases its
// document before it returns and glibc keeps no peak to read; the document it
// holds meanwhile is LoadXML's, whose memory/input tolvex_xml_bench reports.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "CallLibrary.h"
#include "CallScenario.h"
#include "HeldHeap.h"
#include "PeerFileLoads.h"

namespace {

using namespace TolvexBench;
namespace fs = std::filesystem;

fs::path processDirectory;  // made by main, removed after the runs

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "tolvex_call_bench: %s\n", message.c_str());
    std::abort();
}

// Enters the directory of the scenario of this size, writing the file on the
// first visit, and removes the log there; returns the file's size.
std::size_t EnterScenario(std::int64_t size) {
    static std::map<std::int64_t, std::size_t> fileSizes;
    const fs::path directory = processDirectory / std::to_string(size);
    const auto [entry, firstVisit] = fileSizes.try_emplace(size, 0);
    if (firstVisit) fs::create_directory(directory);
    fs::current_path(directory);
    if (firstVisit) entry->second = WriteCallScenario(static_cast<std::size_t>(size));
    if (entry->second == 0) Fail("cannot write " + (directory / CallScenarioFile).string());
    fs::remove("tolvex.log");
    return entry->second;
}

// The library's GetCardInfoEx, opened in the first call run's directory (the
// library logs its load there).
TGetCardInfoEx LibraryGetCardInfoEx() {
    static const TGetCardInfoEx getCardInfoEx = [] {
        std::string error;
        const TGetCardInfoEx opened = OpenGetCardInfoEx(error);
        if (!opened) Fail(error);
        return opened;
    }();
    return getCardInfoEx;
}

// The page faults of the process so far, minor and major.
long PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

// Times measured(), which returns a positive result when it did its work; counts
// the page faults per run as "faults/call".
template <class Measured>
void TimeWork(benchmark::State& state, std::size_t fileSize, const std::string& failure, Measured measured) {
    const long faultsBefore = PageFaults();
    for (auto _ : state)
        if (measured() <= 0) Fail(failure);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fileSize));
    state.counters["faults/call"] =
        benchmark::Counter(static_cast<double>(PageFaults() - faultsBefore), benchmark::Counter::kAvgIterations);
}

void Tolvex29GetCardInfoEx(benchmark::State& state) {
    const std::size_t fileSize = EnterScenario(state.range(0));
    const TGetCardInfoEx getCardInfoEx = LibraryGetCardInfoEx();
    TimeWork(state, fileSize, "GetCardInfoEx did not answer for the scenario's last card",
             [getCardInfoEx] { return MeasuredCall(getCardInfoEx); });
}

template <class Load>
void RunPeer(benchmark::State& state, const char* peer, Load load, int (*measured)()) {
    const std::size_t fileSize = EnterScenario(state.range(0));
    const std::string failure = std::string(peer) + " could not load " + CallScenarioFile;
    state.counters["memory/input"] = HeldHeapPerInputByte(
        [&] {
            auto document = load();
            if (!document) Fail(failure);
            return document;
        },
        fileSize);
    TimeWork(state, fileSize, failure, measured);
}

void PugixmlLoadFile(benchmark::State& state) { RunPeer(state, "pugixml", LoadWithPugixml, MeasuredPugixml); }
void Tinyxml2LoadFile(benchmark::State& state) { RunPeer(state, "tinyxml2", LoadWithTinyxml2, MeasuredTinyxml2); }
void Libxml2ReadFile(benchmark::State& state) { RunPeer(state, "libxml2", LoadWithLibxml2, MeasuredLibxml2); }

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"bytes"})->Unit(benchmark::kMicrosecond);
    for (const std::int64_t size : {100'000, 300'000, 1'000'000, 3'000'000, 10'000'000}) benchmark->Args({size});
}

BENCHMARK(Tolvex29GetCardInfoEx)->Apply(Sizes);
BENCHMARK(PugixmlLoadFile)->Apply(Sizes);
BENCHMARK(Tinyxml2LoadFile)->Apply(Sizes);
BENCHMARK(Libxml2ReadFile)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    processDirectory = MakeScenarioDirectory("tolvex-call-bench");
    if (processDirectory.empty()) {
        std::perror("tolvex_call_bench: scenario directory");
        return 1;
    }
    xmlInitParser();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    fs::remove_all(processDirectory);
    return 0;
}
