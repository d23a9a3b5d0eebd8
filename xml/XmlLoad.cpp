#include "xml/XmlLoad.h"

#include "platform/ModuleResource.h"
#include "platform/Stream.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlBinary.h"
#include "xml/XmlSource.h"

namespace TolvexXml {

void TXmlDocument::ParseText(TXmlSource& source) {
    try {
        GetChildList()->ParseChildren(source, NameTable(), PreserveWhiteSpace, NewLoadRegion());
    } catch (...) {
        parseErrorOffset_ = source.InputOffset();
        throw;
    }
}

void TXmlDocument::LoadXML(const std::string& xml) {
    parseErrorOffset_ = -1;
    if (IsBinaryXml(xml)) {
        LoadBinaryXML(xml);
        return;
    }
    ReleaseChildren();
    RemoveAllAttrs();
    TXmlStrSource source(xml);
    ParseText(source);
}

void TXmlDocument::LoadFromStream(Platform::TStream& stream) {
    parseErrorOffset_ = -1;
    ReleaseChildren();
    RemoveAllAttrs();
    constexpr std::size_t signatureSize = BinaryXmlSignature.size();
    char head[signatureSize];
    std::string_view readAhead;
    if (stream.GetSize() > static_cast<std::int64_t>(signatureSize)) {
        stream.ReadBuffer(head, signatureSize);
        readAhead = std::string_view(head, signatureSize);
        if (readAhead == BinaryXmlSignature) {
            LoadBinaryXmlFromStream(*this, stream);
            return;
        }
    }
    // The text source takes the bytes read to look at as its first: no seek back.
    TXmlStmSource source(stream, TXmlStmSource::LoadBufSize, readAhead);
    ParseText(source);
}

void TXmlDocument::LoadFromFile(const std::string& fileName) {
    parseErrorOffset_ = -1;
    // Opened before anything is removed: a file that cannot be opened leaves the
    // document as it was.
    Platform::TFileStream stream(fileName, Platform::FileStreamMode::OpenRead);
    LoadFromStream(stream);
}

void TXmlDocument::LoadResource(const std::string& resourceType, const std::string& resourceName) {
    parseErrorOffset_ = -1;
    const auto bytes = Platform::FindModuleResource(resourceType, resourceName);
    if (!bytes) return;
    LoadXML(std::string(*bytes));
}

IXmlDocument LoadXmlFile(const std::string& fileName) {
    IXmlDocument document(new TXmlDocument(GlobalNameTable()));
    document->LoadFromFile(fileName);
    return document;
}

}  // namespace TolvexXml
