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
    if (stream.GetSize() > static_cast<std::int64_t>(signatureSize)) {
        char head[signatureSize];
        stream.ReadBuffer(head, signatureSize);
        if (std::string_view(head, signatureSize) == BinaryXmlSignature) {
            LoadBinaryXmlFromStream(*this, stream);
            return;
        }
        stream.Seek(-static_cast<std::int64_t>(signatureSize), Platform::SeekOrigin::Current);
    }
    TXmlStmSource source(stream, TXmlStmSource::LoadBufSize);
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
