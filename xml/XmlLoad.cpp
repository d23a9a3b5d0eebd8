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
    // The text source reads its first window at once; the signature of a binary
    // image is looked for in it, and only an image takes the stream back to just
    // after the signature.
    TXmlStmSource source(stream, TXmlStmSource::LoadBufSize);
    const std::string_view firstWindow(source.Position(),
                                       static_cast<std::size_t>(source.WindowEnd() - source.Position()));
    constexpr std::size_t signatureSize = BinaryXmlSignature.size();
    if (firstWindow.size() > signatureSize && firstWindow.substr(0, signatureSize) == BinaryXmlSignature) {
        stream.Seek(static_cast<std::int64_t>(signatureSize) - static_cast<std::int64_t>(firstWindow.size()),
                    Platform::SeekOrigin::Current);
        LoadBinaryXmlFromStream(*this, stream);
        return;
    }
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
