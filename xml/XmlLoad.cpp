#include "xml/XmlLoad.h"

#include <cstring>

#include "platform/ModuleResource.h"
#include "platform/Stream.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlSource.h"

namespace TolvexXml {

namespace {

constexpr char binarySignature[] = "< binary-xml >";
constexpr std::size_t binarySignatureSize = sizeof binarySignature - 1;

bool StartsWithBinarySignature(const char* bytes, std::size_t size) {
    return size >= binarySignatureSize && std::memcmp(bytes, binarySignature, binarySignatureSize) == 0;
}

[[noreturn]] void RejectBinaryImage() {
    throw TolvexXmlException("Binary XML documents cannot be loaded by this build");
}

}  // namespace

void TXmlDocument::LoadXML(const std::string& xml) {
    if (StartsWithBinarySignature(xml.data(), xml.size())) RejectBinaryImage();
    RemoveAllChildren();
    RemoveAllAttrs();
    TXmlStrSource source(xml);
    GetChildList()->ParseChildren(source, NameTable(), PreserveWhiteSpace);
}

void TXmlDocument::LoadFromStream(Platform::TStream& stream) {
    RemoveAllChildren();
    RemoveAllAttrs();
    if (stream.GetSize() > static_cast<std::int64_t>(binarySignatureSize)) {
        char head[binarySignatureSize];
        stream.ReadBuffer(head, sizeof head);
        if (StartsWithBinarySignature(head, sizeof head)) RejectBinaryImage();
        stream.Seek(-static_cast<std::int64_t>(sizeof head), Platform::SeekOrigin::Current);
    }
    TXmlStmSource source(stream, TXmlStmSource::LoadBufSize);
    GetChildList()->ParseChildren(source, NameTable(), PreserveWhiteSpace);
}

void TXmlDocument::LoadFromFile(const std::string& fileName) {
    // Opened before anything is removed: a file that cannot be opened leaves the
    // document as it was.
    Platform::TFileStream stream(fileName, Platform::FileStreamMode::OpenRead);
    LoadFromStream(stream);
}

void TXmlDocument::LoadResource(const std::string& resourceType, const std::string& resourceName) {
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
