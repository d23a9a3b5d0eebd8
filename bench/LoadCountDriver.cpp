// A driver for counting instructions with callgrind, which does not depend on
// the machine's load: makes the scenario-like document of the given size, then
// runs one kind of work on it twice (docs/performance.md gives the counts of both
// runs together).
//   tolvex_xml_load_count text|binary|stream|write [bytes]
//     text    LoadXML of the text
//     binary  LoadXML of its binary image (the load that recognises the signature)
//     stream  LoadFromStream of the image
//     write   GetBinaryXML of the loaded document
// Under callgrind, --toggle-collect=TolvexBench::Measured* counts only the work.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ScenarioDocument.h"
#include "platform/Stream.h"
#include "xml/TolvexXml.h"

namespace TolvexBench {

using TolvexXml::IXmlDocument;

IXmlDocument NewDocument() { return IXmlDocument(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable())); }

// Kept out of line so that callgrind can collect exactly these calls.
[[gnu::noinline]] IXmlDocument MeasuredLoadXML(const std::string& input) {
    IXmlDocument document = NewDocument();
    document->LoadXML(input);
    return document;
}

[[gnu::noinline]] IXmlDocument MeasuredLoadFromStream(Platform::TStream& stream) {
    IXmlDocument document = NewDocument();
    document->LoadFromStream(stream);
    return document;
}

[[gnu::noinline]] std::string MeasuredGetBinaryXML(TolvexXml::TXmlDocument& document) {
    return document.GetBinaryXML();
}

int Run(const std::string& mode, std::size_t size) {
    if (mode != "text" && mode != "binary" && mode != "stream" && mode != "write") {
        std::fprintf(stderr, "usage: tolvex_xml_load_count text|binary|stream|write [bytes]\n");
        return 2;
    }
    const std::string text = ScenarioDocument(size);
    IXmlDocument loaded = NewDocument();
    loaded->LoadXML(text);
    const std::string image = loaded->GetBinaryXML();
    std::size_t nodes = 0;
    for (int run = 0; run < 2; ++run) {
        if (mode == "text") {
            nodes += MeasuredLoadXML(text)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else if (mode == "binary") {
            nodes += MeasuredLoadXML(image)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else if (mode == "stream") {
            Platform::TMemoryStream stream(image);
            nodes += MeasuredLoadFromStream(stream)->GetDocumentElement()->GetChildNodes()->GetCount();
        } else {
            nodes += MeasuredGetBinaryXML(*loaded).size();
        }
    }
    std::printf("%s: text %zu bytes, image %zu bytes, result %zu\n", mode.c_str(), text.size(), image.size(), nodes);
    return 0;
}

}  // namespace TolvexBench

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::size_t size = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    TolvexXml::InitializeUnit();
    const int result = TolvexBench::Run(mode, size);
    TolvexXml::FinalizeUnit();
    return result;
}
