// The document node: the root of a tree, the holder of its name table and of the
// settings that loading, text joining and rendering read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "xml/XmlNodeKinds.h"

namespace TolvexXml {

class TXmlSource;

// Asked during SaveToStreamWithHandler for the elements of the target name; may
// leave the element's content text in the string.
using ElementContentHandler = std::function<void(const IXmlElement& element, std::string& content)>;

class TXmlDocument : public TXmlNode {
public:
    // Given GlobalNameTable (or no table), the document makes a private table of
    // 4096 buckets for itself; any other table is shared.
    explicit TXmlDocument(TXmlNameTable* nameTable);
    ~TXmlDocument() override;

    std::int32_t GetNameId() override { return NameTable().DocumentId(); }
    std::int32_t GetNodeType() override { return DOCUMENT_NODE; }
    // The non-empty texts of the text and CDATA children, joined by one blank.
    std::string GetText() override;
    // Removes all children and inserts one text node holding the text.
    void SetText(const std::string& text) override;
    std::string GetXML() override;
    IXmlNode CloneNode(bool deep) override;

    // The first child of node type element; empty when none.
    IXmlElement GetDocumentElement();
    std::string GetBinaryXML();
    // The "encoding" attribute of the first child, or DefaultEncoding.
    std::string GetEncoding();
    // The code page of GetEncoding, cached in CachedCodePage.
    std::uint32_t GetCodePage();

    IXmlElement NewDocumentById(const std::string& version, const std::string& encoding, std::int32_t rootId);
    IXmlElement NewDocument(const std::string& version, const std::string& encoding, const std::string& rootName);

    IXmlElement CreateElementById(std::int32_t nameId);
    IXmlElement CreateElement(const std::string& name);
    IXmlText CreateText(const std::string& text);
    IXmlCDATASection CreateCDATASection(const std::string& text);
    IXmlComment CreateComment(const std::string& text);
    IXmlProcessingInstruction CreateProcessingInstruction(const std::string& target, const std::string& text);
    IXmlProcessingInstruction CreateProcessingInstructionById(std::int32_t targetId, const std::string& text);

    void LoadXML(const std::string& xml);
    void LoadBinaryXML(const std::string& image);
    // The stream must stand at its start.
    void LoadFromStream(Platform::TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void LoadResource(const std::string& resourceType, const std::string& resourceName);
    // After a load that failed while parsing XML text (from a string, a stream or
    // a file): the byte offset in that input at which parsing stopped, the
    // input's size when it ended too early. -1 after any other load. Lines and
    // columns are the caller's to count: it has the bytes.
    std::int64_t GetParseErrorOffset() const noexcept { return parseErrorOffset_; }

    void SaveToStream(Platform::TStream& stream);
    void SaveToStreamWithHandler(Platform::TStream& stream, const std::string& elementName,
                                 const ElementContentHandler& handler);
    void SaveToFile(const std::string& fileName);
    void SaveBinaryToStream(Platform::TStream& stream, std::uint32_t options);
    void SaveBinaryToFile(const std::string& fileName, std::uint32_t options);

    // Gives the document a new name table (binary loading), kept as its private one.
    void ReplaceNameTable(TXmlNameTable* nameTable);
    // Removes every child. The tree of the document's last load goes at once, its
    // blocks given back whole, when nothing but the tree holds any of its nodes
    // and all of them are still there (xml/XmlTreeRelease.cpp); otherwise node by
    // node, as RemoveAllChildren does.
    void ReleaseChildren();
    // A new region for the load about to fill the document (its children are
    // released already); the document keeps it with the tree.
    TXmlLoadArena& NewLoadRegion();

    // Compact rendering, kept blank text and untrimmed character data when true.
    bool PreserveWhiteSpace;
    // The code page of the encoding; 0 = not known yet.
    std::uint32_t CachedCodePage = 0;

private:
    // Parses the source's text into the document's children, noting where parsing
    // stopped when it fails.
    void ParseText(TXmlSource& source);
    // What the release of a loaded tree as a whole must do besides giving its
    // blocks back; see xml/XmlTreeRelease.cpp.
    struct LoadedTreeParts;
    // Whether the tree below top is the region's whole and held by nothing else,
    // noting its parts; false as soon as one object is not.
    bool TallyLoadedTree(const TXmlNodeList& top, const TXmlLoadArena& region, LoadedTreeParts& parts) const;

    IXmlNameTable privateTable_;
    std::unique_ptr<TXmlLoadArena> loadRegion_;  // the blocks of the last load's tree
    std::int64_t parseErrorOffset_ = -1;
};

}  // namespace TolvexXml
