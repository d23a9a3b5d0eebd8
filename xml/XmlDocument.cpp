// The document node: its name table, text, code page and node creation.
#include "xml/XmlDocument.h"

#include "xml/TolvexXmlUnit.h"
#include "xml/XmlLoadArena.h"
#include "xml/XmlSourceEncoding.h"

namespace TolvexXml {

namespace {

// A document given the global table (the marker) or none makes a table of its own.
bool WantsPrivateTable(const TXmlNameTable* nameTable) {
    return nameTable == nullptr || nameTable == GlobalNameTable();
}

}  // namespace

TXmlDocument::TXmlDocument(TXmlNameTable* nameTable)
    : TXmlNode(WantsPrivateTable(nameTable) ? new TXmlNameTable(TXmlNameTable::DefaultBucketCount) : nameTable),
      PreserveWhiteSpace(DefaultPreserveWhiteSpace) {
    if (WantsPrivateTable(nameTable)) privateTable_ = &NameTable();
}

std::string TXmlDocument::GetText() { return JoinChildTexts(true); }

void TXmlDocument::SetText(const std::string& text) {
    ReleaseChildren();
    GetChildList()->Insert(new TXmlText(&NameTable(), Platform::Variant::FromString(text)), 0);
}

IXmlNode TXmlDocument::CloneNode(bool deep) {
    if (deep) return CloneTree();
    return new TXmlDocument(&NameTable());
}

IXmlElement TXmlDocument::GetDocumentElement() {
    TXmlNodeList* children = PeekChildList();
    if (!children) return nullptr;
    for (std::int32_t i = 0; i < children->GetCount(); ++i)
        if (IXmlElement element = children->ItemAt(i)->AsElement()) return element;
    return nullptr;
}

std::uint32_t TXmlDocument::GetCodePage() {
    if (CachedCodePage == 0) CachedCodePage = EncodingToCodePage(GetEncoding());
    return CachedCodePage;
}

void TXmlDocument::ReplaceNameTable(TXmlNameTable* nameTable) {
    if (!nameTable) return;
    UseNameTable(*nameTable);
    privateTable_ = nameTable;
}

IXmlElement TXmlDocument::CreateElementById(std::int32_t nameId) { return new TXmlElement(&NameTable(), nameId); }

IXmlElement TXmlDocument::CreateElement(const std::string& name) {
    return CreateElementById(NameTable().NameToId(name, false));
}

IXmlText TXmlDocument::CreateText(const std::string& text) {
    return new TXmlText(&NameTable(), Platform::Variant::FromString(text));
}

IXmlCDATASection TXmlDocument::CreateCDATASection(const std::string& text) {
    return new TXmlCDATASection(&NameTable(), text);
}

IXmlComment TXmlDocument::CreateComment(const std::string& text) { return new TXmlComment(&NameTable(), text); }

IXmlProcessingInstruction TXmlDocument::CreateProcessingInstructionById(std::int32_t targetId,
                                                                       const std::string& text) {
    return new TXmlProcessingInstruction(&NameTable(), targetId, text);
}

IXmlProcessingInstruction TXmlDocument::CreateProcessingInstruction(const std::string& target,
                                                                   const std::string& text) {
    return CreateProcessingInstructionById(NameTable().NameToId(target, false), text);
}

}  // namespace TolvexXml

