// Loading the same scenario-like bytes with LoadXML and, for comparison, with
// pugixml (load_buffer), tinyxml2 (Parse) and libxml2 (xmlReadMemory). The first
// argument is the input size; with the second argument 0 only the load is timed,
// with 1 the release of the document too (as each export call does both). The
// counter "memory/input" is the heap that the loaded document holds, divided by
// the input size (glibc's mallinfo2, measured once outside the timed loop).
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <malloc.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "ScenarioDocument.h"
#include "xml/TolvexXml.h"

namespace {

[[noreturn]] void ParseFailed(const char* parser) {
    std::fprintf(stderr, "%s could not parse the benchmark document\n", parser);
    std::abort();
}

const std::string& Document(std::int64_t size) {
    static std::map<std::int64_t, std::string> documents;
    std::string& text = documents[size];
    if (text.empty()) text = TolvexBench::ScenarioDocument(static_cast<std::size_t>(size));
    return text;
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Runs the benchmark for a load function that returns the loaded document.
template <class Load>
void RunLoad(benchmark::State& state, Load load) {
    const std::string& text = Document(state.range(0));
    const std::size_t before = HeapInUse();
    {
        auto document = load(text);
        state.counters["memory/input"] =
            static_cast<double>(HeapInUse() - before) / static_cast<double>(text.size());
    }
    const bool timeRelease = state.range(1) != 0;
    for (auto _ : state) {
        auto document = load(text);
        benchmark::DoNotOptimize(document);
        if (timeRelease) continue;
        state.PauseTiming();
        document = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void TolvexLoadXML(benchmark::State& state) {
    RunLoad(state, [](const std::string& text) {
        TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
        document->LoadXML(text);
        return document;
    });
}

void PugixmlLoadBuffer(benchmark::State& state) {
    RunLoad(state, [](const std::string& text) {
        auto document = std::make_unique<pugi::xml_document>();
        if (!document->load_buffer(text.data(), text.size())) ParseFailed("pugixml");
        return document;
    });
}

void Tinyxml2Parse(benchmark::State& state) {
    RunLoad(state, [](const std::string& text) {
        auto document = std::make_unique<tinyxml2::XMLDocument>();
        if (document->Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS) ParseFailed("tinyxml2");
        return document;
    });
}

void Libxml2ReadMemory(benchmark::State& state) {
    RunLoad(state, [](const std::string& text) {
        std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> document(
            xmlReadMemory(text.data(), static_cast<int>(text.size()), "in.xml", nullptr, XML_PARSE_HUGE),
            xmlFreeDoc);
        if (!document) ParseFailed("libxml2");
        return document;
    });
}

constexpr std::int64_t smallSize = 100'000;
constexpr std::int64_t largeSize = 10'000'000;

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"bytes", "release"})->Unit(benchmark::kMicrosecond);
    for (const std::int64_t size : {smallSize, largeSize})
        for (const std::int64_t timeRelease : {0, 1}) benchmark->Args({size, timeRelease});
}

BENCHMARK(TolvexLoadXML)->Apply(Sizes);
BENCHMARK(PugixmlLoadBuffer)->Apply(Sizes);
BENCHMARK(Tinyxml2Parse)->Apply(Sizes);
BENCHMARK(Libxml2ReadMemory)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    TolvexXml::InitializeUnit();
    xmlInitParser();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    xmlCleanupParser();
    TolvexXml::FinalizeUnit();
    return 0;
}
