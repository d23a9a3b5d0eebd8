// Whole documents as text: the encoding name, new documents with their XML
// declaration, saving to streams and files, and replacing an element's text by
// CDATA sections.
#include <string_view>

#include "platform/Stream.h"
#include "xml/TolvexXmlUnit.h"
#include "xml/XmlRender.h"
#include "xml/XmlRenderText.h"

namespace TolvexXml {

namespace {

// The rendered text in one write; nothing is written for an empty text.
void WriteRendered(Platform::TStream& stream, const std::string& text) {
    if (!text.empty()) stream.WriteBuffer(text.data(), text.size());
}

}  // namespace

std::string TXmlDocument::GetEncoding() {
    const TXmlNodeList* children = PeekChildList();
    if (!children || children->GetCount() == 0) return DefaultEncoding;
    return children->ItemAt(0)->GetAttrText("encoding", DefaultEncoding);
}

IXmlElement TXmlDocument::NewDocumentById(const std::string& version, const std::string& encoding,
                                          std::int32_t rootId) {
    CachedCodePage = 0;
    ReleaseChildren();
    const IXmlProcessingInstruction declaration = CreateProcessingInstructionById(NameTable().XmlId(), std::string());
    declaration->SetAttrText("version", version);
    declaration->SetAttrText("encoding", encoding.empty() ? std::string(DefaultEncoding) : encoding);
    // The child list is empty now: the declaration becomes child 0, the root child 1.
    AppendChild(declaration);
    const IXmlElement root = CreateElementById(rootId);
    AppendChild(root);
    return root;
}

IXmlElement TXmlDocument::NewDocument(const std::string& version, const std::string& encoding,
                                      const std::string& rootName) {
    return NewDocumentById(version, encoding, NameTable().NameToId(rootName, false));
}

void TXmlDocument::SaveToStream(Platform::TStream& stream) { WriteRendered(stream, GetXML()); }

void TXmlDocument::SaveToStreamWithHandler(Platform::TStream& stream, const std::string& elementName,
                                           const ElementContentHandler& handler) {
    const TRenderHandlerScope installed(handler, elementName);
    SaveToStream(stream);
}

// The text is complete before the file is created, so a failing rendering never
// leaves an existing file truncated.
void TXmlDocument::SaveToFile(const std::string& fileName) {
    const std::string text = GetXML();
    Platform::TFileStream file(fileName, Platform::FileStreamMode::Create);
    WriteRendered(file, text);
}

void TXmlElement::ReplaceTextByCDATASection(const std::string& text) {
    RemoveTextChildren();
    ForEachCDataPiece(text, [this](std::string_view piece) { AppendCDATA(std::string(piece)); });
}

}  // namespace TolvexXml
