// Loading the same scenario-like bytes with LoadXML and, for comparison, with
// pugixml (load_buffer), tinyxml2 (Parse) and libxml2 (xmlReadMemory); then the
// binary form of the same document: writing it (GetBinaryXML) and loading it
// back from a string (LoadXML, which recognises the signature) and from a
// stream (LoadFromStream). The first argument is the size of the text; with the
// second argument 0 only the load is timed, with 1 the release of the document
// too (as each export call does both). Throughput is always counted in bytes of
// the text, so the binary cases show MB/s of text equivalent. The counter
// "memory/input" is the memory that the loaded document holds, divided by the
// text size (glibc's mallinfo2 plus the library's carved blocks in use, measured
// once outside the timed loop); "image/text" is
// the size of the binary image divided by the text size.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <pugixml.hpp>
#include <tinyxml2.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "HeldHeap.h"
#include "base/CarvedBlocks.h"
#include "platform/Stream.h"
#include "support/ScenarioDocument.h"
#include "xml/TolvexXml.h"

namespace {

[[noreturn]] void ParseFailed(const char* parser) {
    std::fprintf(stderr, "%s could not parse the benchmark document\n", parser);
    std::abort();
}

// The heap plus the blocks that loads carve from, which are pages of their own.
std::size_t MemoryInUse() {
    return TolvexBench::HeapInUse() +
           static_cast<std::size_t>(Platform::CarvedBlocks::BlocksInUse()) * Platform::CarvedBlocks::BlockSize;
}

const std::string& Document(std::int64_t size) {
    static std::map<std::int64_t, std::string> documents;
    std::string& text = documents[size];
    if (text.empty()) text = TolvexBench::ScenarioDocument(static_cast<std::size_t>(size));
    return text;
}

TolvexXml::IXmlDocument NewDocument() {
    return TolvexXml::IXmlDocument(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
}

TolvexXml::IXmlDocument LoadedDocument(const std::string& text) {
    TolvexXml::IXmlDocument document = NewDocument();
    document->LoadXML(text);
    return document;
}

// The binary image of the text's document, made once per size.
const std::string& Image(std::int64_t size) {
    static std::map<std::int64_t, std::string> images;
    std::string& image = images[size];
    if (image.empty()) image = LoadedDocument(Document(size))->GetBinaryXML();
    return image;
}

// Runs the benchmark for a load function that returns the loaded document; the
// input is the text of that size or something made from it.
template <class Load>
void RunLoad(benchmark::State& state, const std::string& input, Load load) {
    const std::string& text = Document(state.range(0));
    state.counters["memory/input"] = TolvexBench::HeldHeapPerInputByte([&] { return load(input); }, text.size(), MemoryInUse);
    const bool timeRelease = state.range(1) != 0;
    for (auto _ : state) {
        auto document = load(input);
        benchmark::DoNotOptimize(document);
        if (timeRelease) continue;
        state.PauseTiming();
        document = {};
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

template <class Load>
void RunLoad(benchmark::State& state, Load load) {
    RunLoad(state, Document(state.range(0)), load);
}

void TolvexLoadXML(benchmark::State& state) { RunLoad(state, LoadedDocument); }

void TolvexGetBinaryXML(benchmark::State& state) {
    const std::string& text = Document(state.range(0));
    TolvexXml::IXmlDocument document = LoadedDocument(text);
    for (auto _ : state) {
        std::string image = document->GetBinaryXML();
        benchmark::DoNotOptimize(image);
    }
    state.counters["image/text"] =
        static_cast<double>(Image(state.range(0)).size()) / static_cast<double>(text.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void TolvexLoadBinaryXML(benchmark::State& state) {
    const std::string& image = Image(state.range(0));
    state.counters["image/text"] =
        static_cast<double>(image.size()) / static_cast<double>(Document(state.range(0)).size());
    RunLoad(state, image, LoadedDocument);
}

void TolvexLoadBinaryFromStream(benchmark::State& state) {
    Platform::TMemoryStream stream(Image(state.range(0)));
    RunLoad(state, Image(state.range(0)), [&stream](const std::string&) {
        stream.Seek(0, Platform::SeekOrigin::Beginning);
        TolvexXml::IXmlDocument document = NewDocument();
        document->LoadFromStream(stream);
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

void TextSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"bytes"})->Unit(benchmark::kMicrosecond);
    for (const std::int64_t size : {smallSize, largeSize}) benchmark->Args({size});
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgNames({"bytes", "release"})->Unit(benchmark::kMicrosecond);
    for (const std::int64_t size : {smallSize, largeSize})
        for (const std::int64_t timeRelease : {0, 1}) benchmark->Args({size, timeRelease});
}

BENCHMARK(TolvexLoadXML)->Apply(Sizes);
BENCHMARK(PugixmlLoadBuffer)->Apply(Sizes);
BENCHMARK(Tinyxml2Parse)->Apply(Sizes);
BENCHMARK(Libxml2ReadMemory)->Apply(Sizes);
BENCHMARK(TolvexGetBinaryXML)->Apply(TextSizes);
BENCHMARK(TolvexLoadBinaryXML)->Apply(Sizes);
BENCHMARK(TolvexLoadBinaryFromStream)->Apply(Sizes);

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
