// libFuzzer target for the XML parser. The first byte chooses the settings
// (bit 0 PreserveWhiteSpace, bit 1 DecodeUtf8OnLoad, bits 2-7 a stream buffer
// size); the rest is loaded with LoadXML and, through a stream read with that
// small buffer, with ParseChildren. Both must end alike: the same tree and the
// same failure. Only the library's own failures may leave a load.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "base/Exception.h"
#include "platform/Stream.h"
#include "support/XmlTreeDump.h"
#include "xml/TolvexXml.h"
#include "xml/XmlSource.h"
#include "xml/XmlSourceEncoding.h"

namespace {

struct Outcome {
    std::string tree;
    std::string failure;
};

template <class Load>
Outcome LoadInto(bool preserveWhiteSpace, Load load) {
    TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    document->PreserveWhiteSpace = preserveWhiteSpace;
    Outcome outcome;
    try {
        load(*document);
    } catch (const Platform::Exception& failure) {
        outcome.failure = std::string(failure.ClassName()) + ": " + failure.what();
    }
    outcome.tree = TolvexXmlTest::DumpChildren(*document);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto input = TolvexFuzz::TakeInput(data, size);
    if (!input) return 0;
    const bool preserveWhiteSpace = (input->options & 1) != 0;
    TolvexXml::DecodeUtf8OnLoad = (input->options & 2) != 0;
    const std::int32_t bufSize = 1 + (input->options >> 2);
    const std::string& text = input->text;

    const Outcome fromString = LoadInto(preserveWhiteSpace, [&](TolvexXml::TXmlDocument& document) {
        document.LoadXML(text);
    });
    const Outcome fromStream = LoadInto(preserveWhiteSpace, [&](TolvexXml::TXmlDocument& document) {
        Platform::TMemoryStream stream(text);
        TolvexXml::TXmlStmSource source(stream, bufSize);
        document.GetChildList()->ParseChildren(source, document.NameTable(), preserveWhiteSpace, document.NewLoadRegion());
    });
    // The binary image is a path of LoadXML alone.
    const bool binary = text.compare(0, 14, "< binary-xml >") == 0;
    if (!binary && (fromString.tree != fromStream.tree || fromString.failure != fromStream.failure)) std::abort();
    return 0;
}
