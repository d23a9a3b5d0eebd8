// The name table section and the node tree of a binary XML image.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"
#include "xml/XmlBinary.h"
#include "xml/XmlBinaryCodec.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlLoadArena.h"
#include "xml/XmlParser.h"

namespace TolvexXml {

namespace {

[[noreturn]] void RaiseBadImage(const char* what) {
    throw TolvexXmlException(std::string("Error reading binary XML: ") + what);
}

void WriteNameTable(TBinXmlWriter& writer, const TXmlNameTable& table) {
    const std::vector<std::string>& names = table.Names();
    WritePackedInt(writer, table.NameCount());
    for (const std::string& name : names) WriteXmlStr(writer, name);

    const std::vector<TNameIndexArray> buckets = table.Buckets();
    WritePackedInt(writer, static_cast<std::int32_t>(buckets.size()));
    const auto used = std::count_if(buckets.begin(), buckets.end(), [](const auto& b) { return !b.empty(); });
    WritePackedInt(writer, static_cast<std::int32_t>(used));
    for (std::size_t index = 0; index < buckets.size(); ++index) {
        if (buckets[index].empty()) continue;
        WritePackedInt(writer, static_cast<std::int32_t>(index));
        WritePackedInt(writer, static_cast<std::int32_t>(buckets[index].size()));
        for (const std::int32_t id : buckets[index]) WriteInt32(writer, id);
    }
}

// The most buckets a stored table may ask for. Every table the library writes has
// 4096; an empty bucket costs a few bytes of memory and none of the image, so the
// count alone is bounded, to keep a hostile image from exhausting memory.
constexpr std::int32_t MaxStoredBucketCount = 1 << 20;

// Takes names and buckets as stored, buckets in the order listed (a bucket listed
// twice holds what its last listing says), and rejects only what would make the
// table unusable: no bucket, more than MaxStoredBucketCount, or a bucket index
// beyond the count. Ids in buckets are kept as stored: a lookup skips an id that
// lies outside the names.
void ReadNameTable(TBinXmlReader& reader, TXmlNameTable& table) {
    std::vector<std::string> names;
    const std::int32_t nameCount = ReadPackedCount(reader, 1);
    names.reserve(static_cast<std::size_t>(std::min<std::int32_t>(nameCount, 4096)));
    for (std::int32_t i = 0; i < nameCount; ++i) names.push_back(ReadXmlStr(reader));

    const std::int32_t bucketCount = ReadPackedInt(reader);
    if (bucketCount <= 0 || bucketCount > MaxStoredBucketCount) RaiseBadImage("bad name table.");
    std::vector<TNameIndexArray> buckets(static_cast<std::size_t>(bucketCount));

    const std::int32_t listedCount = ReadRecordCount(reader);
    for (std::int32_t i = 0; i < listedCount; ++i) {
        const std::int32_t index = ReadPackedInt(reader);
        if (index < 0 || index >= bucketCount) RaiseBadImage("bad name table.");
        TNameIndexArray& bucket = buckets[static_cast<std::size_t>(index)];
        bucket.resize(static_cast<std::size_t>(ReadPackedCount(reader, 4)));
        for (std::int32_t& id : bucket) id = ReadInt32(reader);
    }
    table.Restore(std::move(names), buckets);
}

// The attributes and the child count of a node; its children are to follow, in
// order: they go onto `pending` (last child first, so the first comes off next).
void WriteNodeContent(TBinXmlWriter& writer, TXmlNode& node, std::vector<TXmlNode*>& pending) {
    WritePackedInt(writer, node.GetAttrCount());
    for (std::int32_t i = 0; i < node.GetAttrCount(); ++i) {
        const TXmlAttrRef attr = node.GetAttrData(i);
        WritePackedInt(writer, attr.NameId);
        if (const Platform::Variant* typed = attr.Value.Typed())
            WriteValue(writer, *typed);
        else
            WriteTextValue(writer, attr.Value.RawString());
    }
    TXmlNodeList* children = node.PeekChildList();
    const std::int32_t count = children ? children->GetCount() : 0;
    WritePackedInt(writer, count);
    for (std::int32_t i = count - 1; i >= 0; --i) pending.push_back(children->ItemAt(i));
}

// One child record; the content of elements and processing instructions follows it.
void WriteChild(TBinXmlWriter& writer, TXmlNode& child, std::vector<TXmlNode*>& pending) {
    const std::int32_t type = child.GetNodeType();
    const auto typeByte = static_cast<unsigned char>(type);
    switch (type) {
        case ELEMENT_NODE: {
            auto& element = static_cast<TXmlElement&>(child);
            writer.WriteBytes(&typeByte, 1);
            WritePackedInt(writer, element.GetNameId());
            WriteValue(writer, element.HasChildren() ? Platform::Variant() : element.HeldValue());
            WriteNodeContent(writer, element, pending);
            return;
        }
        case TEXT_NODE:
            writer.WriteBytes(&typeByte, 1);
            WriteValue(writer, static_cast<TXmlText&>(child).Value());
            return;
        case CDATA_SECTION_NODE:
        case COMMENT_NODE:
            writer.WriteBytes(&typeByte, 1);
            WriteXmlStr(writer, static_cast<TXmlCharacterData&>(child).StoredText());
            return;
        case PROCESSING_INSTRUCTION_NODE:
            writer.WriteBytes(&typeByte, 1);
            WritePackedInt(writer, child.GetNameId());
            WriteXmlStr(writer, child.GetText());
            WriteNodeContent(writer, child, pending);
            return;
        default: throw TolvexXmlException("Ошибка записи двоичного XML: некорректный тип узла");
    }
}

// The tree below the document in document order. The nodes still to write wait on
// a stack of their own, so a tree of any depth is written on a small thread stack.
void WriteTree(TBinXmlWriter& writer, TXmlDocument& document) {
    std::vector<TXmlNode*> pending;
    WriteNodeContent(writer, document, pending);
    while (!pending.empty()) {
        TXmlNode* next = pending.back();
        pending.pop_back();
        WriteChild(writer, *next, pending);
    }
}

// Reads images whose name ids all lie in the table (or are -1, the empty name)
// and whose nesting stays within the parser's bound.
class TreeReader {
public:
    TreeReader(TBinXmlReader& reader, TXmlNameTable& table, TXmlLoadArena& arena)
        : reader_(reader), table_(table), arena_(arena) {}

    void ReadNodeContent(TXmlNode& node, std::int32_t depth) {
        if (depth > MaxElementDepth) throw TolvexXmlException(MaxDepthMessage);
        const std::int32_t attrCount = ReadRecordCount(reader_);
        // The stored entries as they are (a name may repeat). The document's own
        // entries and texts come from the heap, for the reason its list does.
        node.RemoveAllAttrs();
        Platform::CarvedBlocks* const carver = depth == 0 ? nullptr : &arena_;
        pendingAttrs_.clear();
        attrTexts_.clear();
        typedValues_.clear();
        try {
            for (std::int32_t i = 0; i < attrCount; ++i) {
                const std::int32_t nameId = ReadNameId();
                const Platform::VarType type = ReadValueType(reader_);
                if (type == Platform::varString) {
                    const auto size = static_cast<std::size_t>(ReadPackedCount(reader_, 1));
                    const std::size_t begin = attrTexts_.size();
                    attrTexts_.resize(begin + size);
                    reader_.Read(attrTexts_.data() + begin, size);
                    pendingAttrs_.push_back(PendingAttr{nameId, true, begin, size});
                } else {
                    typedValues_.push_back(ReadValueOfType(reader_, type, carver));
                    pendingAttrs_.push_back(PendingAttr{nameId, false, typedValues_.size() - 1, 0});
                }
            }
        } catch (...) {
            HandOverAttributes(node, carver);
            throw;
        }
        HandOverAttributes(node, carver);

        const std::int32_t count = ReadRecordCount(reader_);
        if (count == 0) return;
        // The document's own list comes from the heap: it lasts as long as the
        // document, and from the arena it would keep its whole block alive.
        TXmlNodeList& children = depth == 0 ? *node.GetChildList() : arena_.ChildListOf(node);
        children.Clear();
        for (std::int32_t i = 0; i < count; ++i) ReadChild(children, depth);
    }

private:
    // The entries read so far go to the node, also when reading failed half-way:
    // packed when a carver is given and they are all 8-bit texts that fit one
    // piece, typed otherwise.
    void HandOverAttributes(TXmlNode& node, Platform::CarvedBlocks* carver) {
        const std::size_t count = pendingAttrs_.size();
        if (count == 0) return;
        const bool allText = typedValues_.empty();
        if (carver && allText && TXmlAttrArray::Packs(count, attrTexts_.size())) {
            TXmlAttrArray packed = TXmlAttrArray::CarvePacked(*carver, count, attrTexts_.size());
            std::memcpy(packed.PackedTexts(), attrTexts_.data(), attrTexts_.size());
            TXmlPackedAttr* entries = packed.PackedEntries();
            for (std::size_t i = 0; i < count; ++i) {
                const PendingAttr& attr = pendingAttrs_[i];
                entries[i] = TXmlPackedAttr{attr.nameId, static_cast<std::uint32_t>(attr.begin + attr.size)};
            }
            node.TakePackedAttrs(std::move(packed), static_cast<std::int32_t>(count));
            return;
        }
        std::vector<TXmlAttrData> entries(count);
        for (std::size_t i = 0; i < count; ++i) {
            const PendingAttr& attr = pendingAttrs_[i];
            entries[i].NameId = attr.nameId;
            if (!attr.text)
                entries[i].Value = std::move(typedValues_[attr.begin]);
            else if (carver)
                entries[i].Value = Platform::Variant::CopiedString(
                    *carver, std::string_view(attrTexts_).substr(attr.begin, attr.size));
            else
                entries[i].Value = Platform::Variant::FromString(attrTexts_.substr(attr.begin, attr.size));
        }
        node.TakeLoadedAttrs(carver, entries.data(), static_cast<std::int32_t>(count));
    }

    // A comment's or CDATA section's text, carved from the load's blocks.
    Platform::Variant ReadCharacterData() { return Platform::Variant::CopiedString(arena_, ReadXmlStr(reader_)); }

    std::int32_t ReadNameId() {
        const std::int32_t id = ReadPackedInt(reader_);
        if (id < -1 || id >= table_.NameCount()) RaiseBadImage("bad name id.");
        return id;
    }

    // Each node joins the list as soon as it is made, so a failed load keeps it.
    void ReadChild(TXmlNodeList& children, std::int32_t depth) {
        switch (reader_.ReadByte()) {
            case ELEMENT_NODE: {
                TXmlElement* element = arena_.Append<TXmlElement>(children, &table_, ReadNameId());
                const Platform::Variant value = ReadValue(reader_);
                if (!value.IsEmpty()) element->SetValue(value);
                ReadNodeContent(*element, depth + 1);
                return;
            }
            case TEXT_NODE: arena_.Append<TXmlText>(children, &table_, ReadValue(reader_, &arena_)); return;
            case CDATA_SECTION_NODE: arena_.Append<TXmlCDATASection>(children, &table_, ReadCharacterData()); return;
            case COMMENT_NODE: arena_.Append<TXmlComment>(children, &table_, ReadCharacterData()); return;
            case PROCESSING_INSTRUCTION_NODE: {
                const std::int32_t target = ReadNameId();
                TXmlProcessingInstruction* instruction =
                    arena_.Append<TXmlProcessingInstruction>(children, &table_, target, ReadXmlStr(reader_));
                ReadNodeContent(*instruction, depth + 1);
                return;
            }
            default: throw TolvexXmlException("Ошибка чтения двоичного XML: некорректный тип узла");
        }
    }

    TBinXmlReader& reader_;
    TXmlNameTable& table_;
    TXmlLoadArena& arena_;  // the nodes and child lists of this load
    // The attributes of the node being read: 8-bit texts wait as bytes in
    // attrTexts_ (they may pack), other values in typedValues_ (begin is the index).
    struct PendingAttr {
        std::int32_t nameId;
        bool text;
        std::size_t begin;
        std::size_t size;
    };
    std::vector<PendingAttr> pendingAttrs_;
    std::string attrTexts_;
    std::vector<Platform::Variant> typedValues_;
};

}  // namespace

void ReadBinaryXml(TXmlDocument& document, TBinXmlReader& reader) {
    ReadNameTable(reader, document.NameTable());
    TreeReader(reader, document.NameTable(), document.NewLoadRegion()).ReadNodeContent(document, 0);
}

void WriteBinaryXml(TXmlDocument& document, TBinXmlWriter& writer) {
    WriteNameTable(writer, document.NameTable());
    WriteTree(writer, document);
}

void LoadBinaryXmlFromStream(TXmlDocument& document, Platform::TStream& stream) {
    document.ReplaceNameTable(new TXmlNameTable(TXmlNameTable::DefaultBucketCount));
    TStmXmlReader reader(stream, BinaryXmlBufferSize);
    ReadBinaryXml(document, reader);
}

void TXmlDocument::LoadBinaryXML(const std::string& image) {
    parseErrorOffset_ = -1;
    ReleaseChildren();
    RemoveAllAttrs();
    ReplaceNameTable(new TXmlNameTable(TXmlNameTable::DefaultBucketCount));
    TStrXmlReader reader(image);
    ReadBinaryXml(*this, reader);
}

std::string TXmlDocument::GetBinaryXML() {
    TStrXmlWriter writer(0, BinaryXmlBufferSize);
    WriteBinaryXml(*this, writer);
    writer.Flush();
    return std::move(writer.Result());
}

void TXmlDocument::SaveBinaryToStream(Platform::TStream& stream, std::uint32_t options) {
    TStmXmlWriter writer(stream, options, BinaryXmlBufferSize);
    WriteBinaryXml(*this, writer);
    writer.Flush();
}

void TXmlDocument::SaveBinaryToFile(const std::string& fileName, std::uint32_t options) {
    Platform::TFileStream stream(fileName, Platform::FileStreamMode::Create);
    SaveBinaryToStream(stream, options);
}

}  // namespace TolvexXml
