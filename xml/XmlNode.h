// The node model: TXmlNode, the base of every node kind, with its child list
// (TXmlNodeList) and its attributes (TXmlAttrData). Every object is reached
// through a counted reference; ownership runs downward (a child list holds its
// nodes, a node holds its child list and its name table), while the parent link
// of a node and the owner link of a child list are plain pointers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Variant.h"
#include "xml/XmlAttrArray.h"
#include "xml/XmlBase.h"
#include "xml/XmlGrowth.h"
#include "xml/XmlNameTable.h"

namespace Platform {
class TStream;
}

namespace TolvexXml {

class TXmlNode;
class TXmlNodeList;
class TXmlElement;
class TXmlCharacterData;
class TXmlText;
class TXmlCDATASection;
class TXmlComment;
class TXmlProcessingInstruction;
class TXmlDocument;
class TXmlSource;
class TXmlLoadArena;

using IXmlBase = XmlRef<TXmlBase>;
using IXmlNode = XmlRef<TXmlNode>;
using IXmlNodeList = XmlRef<TXmlNodeList>;
using IXmlElement = XmlRef<TXmlElement>;
using IXmlCharacterData = XmlRef<TXmlCharacterData>;
using IXmlText = XmlRef<TXmlText>;
using IXmlCDATASection = XmlRef<TXmlCDATASection>;
using IXmlComment = XmlRef<TXmlComment>;
using IXmlProcessingInstruction = XmlRef<TXmlProcessingInstruction>;
using IXmlDocument = XmlRef<TXmlDocument>;

// Node type numbers.
inline constexpr std::int32_t ELEMENT_NODE = 1;
inline constexpr std::int32_t TEXT_NODE = 3;
inline constexpr std::int32_t CDATA_SECTION_NODE = 4;
inline constexpr std::int32_t PROCESSING_INSTRUCTION_NODE = 7;
inline constexpr std::int32_t COMMENT_NODE = 8;
inline constexpr std::int32_t DOCUMENT_NODE = 9;

// The children of a node (owner set), or a free list of nodes (no owner).
// Storage keeps a capacity apart from the count, grows in steps of 4 (capacity
// up to 8), 16 (up to 64), then a quarter, and never shrinks. The first 2 items
// live inside the list object: most lists stay that short (an element with its
// text), and so need no storage of their own.
class TXmlNodeList : public TXmlBase {
public:
    explicit TXmlNodeList(TXmlNode* owner);
    ~TXmlNodeList() override;

    std::int32_t GetCount() const noexcept { return count_; }
    // The item at index 0 .. count - 1; TolvexXmlException for any other index.
    IXmlNode GetItem(std::int32_t index) const;
    // The items' XML text, concatenated in order.
    std::string GetXML();

    TXmlNode* GetOwner() const noexcept { return owner_; }
    std::int32_t GetCapacity() const noexcept { return capacity_; }
    // The item without taking a reference; the same index check as GetItem.
    TXmlNode* ItemAt(std::int32_t index) const;

    // Inserts at index (-1: at the end). When the list has an owner, the node's
    // parent becomes the owner and a node of another name table is moved into
    // the owner's table together with its subtree. Inserting a node into itself
    // or into one of its descendants fails with TolvexXmlException.
    void Insert(TXmlNode* node, std::int32_t index);
    // Appends a node just made in the owner's name table that nothing else holds:
    // it cannot close a cycle nor need its names moved, so only its parent is set.
    // Inline (below TXmlNode): loads append every node they make with it.
    void AppendNew(IXmlNode node);
    // Removes the item at index; its parent is cleared when the list has an owner.
    void Remove(std::int32_t index);
    // Puts node in place of the item at index (nothing when it already stands there).
    void Replace(std::int32_t index, TXmlNode* node);
    // Removes every item in order; the capacity stays.
    void Clear();
    // The first position of that very node; -1 when it is not in the list.
    std::int32_t IndexOf(const TXmlNode* node) const noexcept;

    // Parses a sequence of nodes from the source into this list, up to the end of
    // the input or to an end tag ("</", left with the source on the "/"), carving
    // them from the arena.
    void ParseChildren(TXmlSource& source, TXmlNameTable& nameTable, bool preserveWhiteSpace, TXmlLoadArena& arena);

private:
    friend class TXmlNode;
    friend class TXmlDocument;  // the release of a loaded tree as a whole

    void CheckIndex(std::int32_t index) const;
    void Grow();
    // Frees a grown array without releasing what its slots hold: they are empty,
    // or their references are let go uncounted (the release of a loaded tree).
    void DropGrownItems() noexcept;
    void Adopt(TXmlNode* node);
    void Disown(TXmlNode* node);
    // Called when the owner goes while something else still holds the list.
    void DetachOwner() noexcept;

    static constexpr std::int32_t InlineSlots = 2;

    std::int32_t count_ = 0;  // first: it fills the padding at the end of TXmlBase
    std::int32_t capacity_ = 0;
    TXmlNode* owner_;
    // inlineItems_, or raw storage of capacity_ references once they are too few
    // (DropGrownItems frees it).
    IXmlNode* items_;
    IXmlNode inlineItems_[InlineSlots];
};

class TXmlNode : public TXmlBase {
public:
    // A node of the given name table (TolvexXmlException when it is missing).
    // Inline: a load makes one for every element and text.
    explicit TXmlNode(TXmlNameTable* nameTable) : nameTable_(nameTable) {
        if (!nameTable) FailWithoutNameTable();
    }
    ~TXmlNode() override;

    // --- identity ---
    IXmlNameTable GetNameTable() const noexcept { return nameTable_; }
    TXmlNameTable& NameTable() const noexcept { return *nameTable_.Get(); }
    std::string GetNodeName();
    virtual std::int32_t GetNameId() = 0;
    virtual void SetNameId(std::int32_t nameId);
    virtual std::int32_t GetNodeType() = 0;

    // --- content ---
    virtual std::string GetText() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual Platform::VarType GetValueType();
    virtual Platform::Variant GetValue();
    virtual void SetValue(const Platform::Variant& value);
    virtual std::string GetXML() = 0;
    virtual IXmlNode CloneNode(bool deep) = 0;

    // --- tree ---
    IXmlNode GetParentNode() const noexcept { return parent_; }
    TXmlNode* ParentNode() const noexcept { return parent_; }
    // The nearest document walking up from this node itself; empty when none.
    IXmlDocument GetOwnerDocument();
    TXmlDocument* OwnerDocument() noexcept;
    // The child list, made on first call.
    virtual TXmlNodeList* GetChildList();
    IXmlNodeList GetChildNodes();
    // Makes list, made by a loader for this node, its child list; the node must
    // have none yet.
    TXmlNodeList* InstallChildList(TXmlNodeList* list);
    // The child list when it exists, without making it.
    TXmlNodeList* PeekChildList() const noexcept { return childList_.Get(); }
    // True when the node has a child list with at least one item.
    bool HasChildren() const noexcept;

    void AppendChild(const IXmlNode& node);
    void InsertBefore(const IXmlNode& node, const IXmlNode& refNode);
    void ReplaceChild(const IXmlNode& newNode, const IXmlNode& oldNode);
    std::int32_t RemoveChild(const IXmlNode& node);
    IXmlElement AppendElementById(std::int32_t nameId);
    IXmlElement AppendElement(const std::string& name);
    IXmlText AppendText(const std::string& text);
    IXmlCDATASection AppendCDATA(const std::string& text);
    IXmlComment AppendComment(const std::string& text);
    IXmlProcessingInstruction AppendProcessingInstructionById(std::int32_t targetId, const std::string& text);
    IXmlProcessingInstruction AppendProcessingInstruction(const std::string& target, const std::string& text);
    std::string GetChildText(const std::string& name, const std::string& defaultText);
    std::string GetChildTextById(std::int32_t nameId, const std::string& defaultText);
    void SetChildText(const std::string& name, const std::string& text);
    void SetChildTextById(std::int32_t nameId, const std::string& text);
    IXmlNode NeedChildById(std::int32_t nameId);
    IXmlNode NeedChild(const std::string& name);
    IXmlNode EnsureChildById(std::int32_t nameId);
    IXmlNode EnsureChild(const std::string& name);
    void RemoveAllChildren();
    IXmlNodeList SelectNodes(const std::string& name);
    IXmlNode SelectElement(const std::string& nameOrPath);
    IXmlElement FindElement(const std::string& elementName, const std::string& attrName,
                            const Platform::Variant& value);

    // --- attributes ---
    std::int32_t GetAttrCount() const noexcept { return attrCount_; }
    // Name id and name of the attribute at index; -1 and the empty name outside 0 .. count - 1.
    std::int32_t GetAttrNameId(std::int32_t index) const noexcept {
        return index >= 0 && index < attrCount_ ? attrs_.NameIdAt(static_cast<std::size_t>(index)) : -1;
    }
    std::string GetAttrName(std::int32_t index) const;
    void RemoveAttr(const std::string& name);
    void RemoveAttrById(std::int32_t nameId);
    void RemoveAllAttrs();
    bool AttrExistsById(std::int32_t nameId) const noexcept;
    bool AttrExists(const std::string& name);
    Platform::VarType GetAttrTypeById(std::int32_t nameId) const noexcept;
    Platform::VarType GetAttrType(const std::string& name);
    Platform::Variant GetAttrValueById(std::int32_t nameId, const Platform::Variant& defaultValue) const;
    Platform::Variant GetAttrValue(const std::string& name, const Platform::Variant& defaultValue);
    void SetAttrValueById(std::int32_t nameId, const Platform::Variant& value);
    void SetAttrValue(const std::string& name, const Platform::Variant& value);
    std::string NeedAttrById(std::int32_t nameId) const;
    std::string NeedAttr(const std::string& name);
    std::string GetAttrTextById(std::int32_t nameId, const std::string& defaultText) const;
    std::string GetAttrText(const std::string& name, const std::string& defaultText);
    void SetAttrTextById(std::int32_t nameId, const std::string& text);
    void SetAttrText(const std::string& name, const std::string& text);
    bool GetAttrBoolById(std::int32_t nameId, bool defaultValue) const;
    bool GetAttrBool(const std::string& name, bool defaultValue);
    void SetAttrBoolById(std::int32_t nameId, bool value);
    void SetAttrBool(const std::string& name, bool value);
    std::int64_t GetAttrInt64ById(std::int32_t nameId, std::int64_t defaultValue) const;
    std::int64_t GetAttrInt64(const std::string& name, std::int64_t defaultValue);
    // GetAttrInt64 with the name already resolved to its id (by NameToId with first
    // letter tolerance), for callers that ask many nodes for one attribute.
    std::int64_t GetNamedAttrInt64(std::int32_t nameId, const std::string& name, std::int64_t defaultValue) const;
    void SetAttrInt64ById(std::int32_t nameId, std::int64_t value);
    void SetAttrInt64(const std::string& name, std::int64_t value);
    double GetAttrDateTimeById(std::int32_t nameId, double defaultValue) const;
    double GetAttrDateTime(const std::string& name, double defaultValue);
    void SetAttrDateTimeById(std::int32_t nameId, double value);
    void SetAttrDateTime(const std::string& name, double value);
    double GetAttrFloatById(std::int32_t nameId, double defaultValue) const;
    double GetAttrFloat(const std::string& name, double defaultValue);
    void SetAttrFloatById(std::int32_t nameId, double value);
    void SetAttrFloat(const std::string& name, double value);
    std::int32_t GetAttrHex(const std::string& name, std::int32_t defaultValue);
    std::int32_t GetAttrHexById(std::int32_t nameId, std::int32_t defaultValue) const;
    void SetAttrHex(const std::string& name, std::int32_t value, std::int32_t digits);
    void SetAttrHexById(std::int32_t nameId, std::int32_t value, std::int32_t digits);
    // The index of the first allowed text equal to the value (letter case ignored).
    std::int32_t GetAttrEnum(const std::string& name, const std::vector<std::string>& allowed,
                             std::int32_t defaultIndex);
    std::int32_t GetAttrEnumById(std::int32_t nameId, const std::vector<std::string>& allowed,
                                 std::int32_t defaultIndex);
    std::int32_t NeedAttrEnum(const std::string& name, const std::vector<std::string>& allowed);
    std::int32_t NeedAttrEnumById(std::int32_t nameId, const std::vector<std::string>& allowed);
    Platform::Variant GetValueByPath(const std::string& path);
    void SetValueByPath(const std::string& path, const Platform::Variant& value);

    // The name id and value of the attribute at index 0 .. count - 1
    // (TolvexXmlException otherwise); the value view lasts while the node's
    // attributes stay as they are.
    TXmlAttrRef GetAttrData(std::int32_t index) const;
    // For loaders: moves count entries (as the loader found them) into the node,
    // which has none yet. With blocks, up to TXmlAttrArray::MaxCarvedCount of them
    // go into room carved from the blocks; otherwise they take a heap array.
    void TakeLoadedAttrs(Platform::CarvedBlocks* blocks, TXmlAttrData* entries, std::int32_t count);
    // For loaders: a packed array of count entries, filled, becomes the node's
    // attributes (it has none yet). Any change of them makes them typed first.
    void TakePackedAttrs(TXmlAttrArray packed, std::int32_t count) {
        attrs_ = std::move(packed);
        attrCount_ = attrCapacity_ = count;
    }

    // --- the release of a loaded tree as a whole (TXmlDocument::ReleaseChildren) ---
    // What the node's parts take besides its own room and its child list: its
    // attribute array and its values.
    virtual TXmlPartUse PartUse() const noexcept;
    // Frees what the node holds on the heap (and drops its name table reference
    // without counting it down: the caller counts them down together), leaving its
    // carved parts, its children and its own room as they are. The node is gone
    // afterwards: nothing may use it. Needed only when PartUse says onHeap.
    virtual void FreeHeapParts() noexcept;

    // --- conversions to the specific kinds (empty when the node is of another kind) ---
    virtual IXmlElement AsElement();
    virtual IXmlText AsText();
    virtual IXmlCDATASection AsCDATASection();
    virtual IXmlComment AsComment();
    virtual IXmlProcessingInstruction AsProcessingInstruction();

protected:
    // Makes the node use another name table, ids unchanged.
    void UseNameTable(TXmlNameTable& nameTable) noexcept { nameTable_ = &nameTable; }
    // The code page for turning wide-text values into 8-bit text: the owner
    // document's, or 0 (the system's ANSI code page) for a node in no document.
    std::uint32_t ValueCodePage();
    // ValueToXmlText of the value; the code page is looked up only for wide text.
    std::string ValueText(const Platform::Variant& value);
    // The preserve-white-space mode of the owner document, or the unit default.
    bool PreservesWhiteSpace();
    // Copies the attributes into another node (capacity = count).
    void CopyAttrsTo(TXmlNode& target) const;
    // The non-empty texts of the text and CDATA children (and of child elements
    // unless TextExcludesElements), joined by one blank; with element rules a CDATA
    // text, and every text while white space is preserved, is joined directly.
    std::string JoinChildTexts(bool documentRules);
    // The deep clone of this node: CloneWithoutChildren of the node and of every
    // node below it, each appended to the clone of its parent. Element and document
    // clones take their children along; the walk keeps its own stack, so a tree of
    // any depth is cloned on a small thread stack.
    IXmlNode CloneTree();
    // The node as its deep clone starts out: everything but the children.
    virtual IXmlNode CloneWithoutChildren() { return CloneNode(false); }
    // Appends a new node made by this node and returns it.
    template <class T>
    XmlRef<T> AppendNew(T* node) {
        XmlRef<T> ref = XmlRef<T>::FirstRef(node);
        GetChildList()->AppendNew(ref);
        return ref;
    }

private:
    friend class TXmlNodeList;

    std::int32_t FindAttr(std::int32_t nameId) const noexcept;
    TXmlAttrValue AttrValueAt(std::int32_t index) const noexcept {
        return attrs_.ValueAt(static_cast<std::size_t>(index));
    }
    // Turns packed attributes into typed entries in a heap array (capacity = count).
    void MakeAttrsTyped();
    // Gives the attribute array room for capacity entries, keeping those in use.
    void SetAttrCapacity(std::int32_t capacity);
    TXmlNode* FindChildById(std::int32_t nameId) const noexcept;
    // Switches this node and its subtree to another name table, translating ids;
    // a node already in that table keeps its subtree as it is.
    void MoveToNameTable(TXmlNameTable& target);
    // Only this node's name, attributes and table.
    void MoveOwnNamesToTable(TXmlNameTable& target);

    [[noreturn]] static void FailWithoutNameTable();

    std::int32_t attrCount_ = 0;  // first: it fills the padding at the end of TXmlBase
    TXmlNode* parent_ = nullptr;
    IXmlNameTable nameTable_;
    TXmlAttrArray attrs_;
    IXmlNodeList childList_;
    // Last, so that a derived class can put a 32-bit member into the padding after it.
    std::int32_t attrCapacity_ = 0;
};

inline void TXmlNodeList::AppendNew(IXmlNode node) {
    if (count_ == capacity_ || (items_ == inlineItems_ && count_ == InlineSlots)) {
        // The first child of a list fits its inline slots: only the capacity grows.
        if (count_ == 0 && items_ == inlineItems_)
            capacity_ = GrownCapacity(0);
        else
            Grow();
    }
    node.Get()->parent_ = owner_;
    items_[count_] = std::move(node);
    ++count_;
}

}  // namespace TolvexXml
