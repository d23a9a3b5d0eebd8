// XML text of nodes, node lists and documents, in the indented form (every element
// on a new line, indented with TABs by depth) or the compact form (the owner
// document's PreserveWhiteSpace), which adds nothing between nodes.
//
// A rendering appends to one output string all the way down; a node's GetXML is
// the rendering started at that node.
#include "xml/XmlRender.h"

#include <cstdint>
#include <exception>
#include <string_view>

#include "xml/TolvexXmlUnit.h"
#include "xml/ValueText.h"
#include "xml/XmlRenderText.h"

namespace TolvexXml {

namespace {

constexpr std::string_view IndentUnit = "\t";
constexpr std::string_view LineBreak = "\r\n";

// Per thread and trivially destructible: nothing to tear down when a thread ends.
struct TRenderState {
    std::int32_t RenderDepth = 0;
    const ElementContentHandler* Handler = nullptr;
    const std::string* TargetName = nullptr;  // set whenever Handler is
    std::int32_t RetargetGuard = 0;
};

thread_local TRenderState renderState;

// One more nesting level for the children of an element in the indented form.
class TDepthScope {
public:
    TDepthScope() noexcept : saved_(renderState.RenderDepth) { ++renderState.RenderDepth; }
    ~TDepthScope() { renderState.RenderDepth = saved_; }
    TDepthScope(const TDepthScope&) = delete;
    TDepthScope& operator=(const TDepthScope&) = delete;

private:
    std::int32_t saved_;
};

// Points the handler at another element name while an element renders itself again.
class TRetargetScope {
public:
    explicit TRetargetScope(const std::string& targetName) noexcept
        : savedTargetName_(renderState.TargetName), savedGuard_(renderState.RetargetGuard) {
        renderState.TargetName = &targetName;
        ++renderState.RetargetGuard;
    }
    ~TRetargetScope() {
        renderState.TargetName = savedTargetName_;
        renderState.RetargetGuard = savedGuard_;
    }
    TRetargetScope(const TRetargetScope&) = delete;
    TRetargetScope& operator=(const TRetargetScope&) = delete;

private:
    const std::string* savedTargetName_;
    std::int32_t savedGuard_;
};

bool HandlerTargets(const std::string& elementName) {
    return renderState.Handler && *renderState.TargetName == elementName;
}

bool IsCompact(const TXmlDocument* owner) { return owner ? owner->PreserveWhiteSpace : DefaultPreserveWhiteSpace; }

// The value's text in the owner document's code page (0 outside a document). Only
// wide text depends on the code page, so only wide text asks the document for it.
std::string ValueText(const Platform::Variant& value, TXmlDocument* owner) {
    unsigned codePage = 0;
    if (owner && value.Type() == Platform::varOleStr) {
        try {
            codePage = owner->GetCodePage();
        } catch (const std::exception&) {
            // An encoding attribute without a text form: the system's code page.
        }
    }
    return ValueToXmlText(value, codePage);
}

void AppendIndent(std::string& out, std::int32_t depth) {
    for (std::int32_t level = 0; level < depth; ++level) out += IndentUnit;
}

void AppendAttributes(TXmlNode& node, TXmlDocument* owner, std::string& out) {
    const TXmlNameTable& names = node.NameTable();
    for (std::int32_t index = 0; index < node.GetAttrCount(); ++index) {
        const TXmlAttrData& attr = node.GetAttrData(index);
        out += ' ';
        out += names.IdToName(attr.NameId);
        out += "=\"";
        out += EscapeXmlText(ValueText(attr.Value, owner));
        out += '"';
    }
}

void RenderNode(TXmlNode& node, TXmlDocument* owner, std::string& out);

// The children in order. A child normally belongs to the document of the node
// being rendered; one whose parent is elsewhere (a node may stand in several
// lists) or that is a document itself finds its own.
void RenderChildren(TXmlNode& parent, TXmlDocument* owner, std::string& out) {
    const TXmlNodeList* children = parent.PeekChildList();
    if (!children) return;
    for (std::int32_t index = 0; index < children->GetCount(); ++index) {
        // Held while it renders, so that a content handler changing the tree cannot free it.
        const IXmlNode child = children->ItemAt(index);
        TXmlDocument* childOwner = child->ParentNode() == &parent && child->GetNodeType() != DOCUMENT_NODE
                                       ? owner
                                       : child->OwnerDocument();
        RenderNode(*child, childOwner, out);
    }
}

// Asks the handler for the content of an element it targets. An empty content is
// replaced by what the handler leaves; a non-empty one stays, and the handler is
// then asked only in the indented form, with a text of its own that is dropped.
void ApplyHandler(TXmlElement& element, bool compact, std::size_t contentStart, std::string& out) {
    const bool contentEmpty = out.size() == contentStart;
    if (!contentEmpty && compact) return;
    std::string supplied;
    (*renderState.Handler)(IXmlElement(&element), supplied);
    if (contentEmpty) out += supplied;
}

void RenderElement(TXmlElement& element, TXmlDocument* owner, std::string& out) {
    const std::string name = element.NameTable().IdToName(element.GetNameId());
    const TXmlNodeList* children = element.PeekChildList();
    const bool hasChildren = children && children->GetCount() > 0;

    // A handler for an element with exactly one child is asked for elements named
    // like that child instead: the element renders itself again with that target.
    if (HandlerTargets(name) && children && children->GetCount() == 1 && renderState.RetargetGuard == 0) {
        const std::string childName = children->ItemAt(0)->GetNodeName();
        const TRetargetScope retarget(childName);
        RenderElement(element, owner, out);
        return;
    }

    const bool compact = IsCompact(owner);
    const std::int32_t depth = renderState.RenderDepth;
    if (!compact) {
        out += LineBreak;
        AppendIndent(out, depth);
    }
    out += '<';
    out += name;
    AppendAttributes(element, owner, out);
    // Closed as "/>" below when the content stays empty.
    out += '>';
    const std::size_t contentStart = out.size();

    if (hasChildren) {
        if (compact) {
            RenderChildren(element, owner, out);
        } else {
            const TDepthScope deeper;
            RenderChildren(element, owner, out);
        }
    } else if (!element.HeldValue().IsEmpty()) {
        out += EscapeXmlText(ValueText(element.HeldValue(), owner));
    }
    if (HandlerTargets(name)) ApplyHandler(element, compact, contentStart, out);

    if (out.size() == contentStart) {
        out.back() = '/';
        out += '>';
        return;
    }
    if (!compact) {
        const std::string_view content = std::string_view(out).substr(contentStart);
        if (content.find_first_of("\r\n") != std::string_view::npos) {
            if (!content.ends_with(LineBreak)) out += LineBreak;
            AppendIndent(out, depth);
        }
    }
    out += "</";
    out += name;
    out += '>';
}

void RenderText(TXmlText& text, TXmlDocument* owner, std::string& out) {
    std::string value = ValueText(text.Value(), owner);
    out += text.RawText ? value : EscapeXmlText(std::move(value));
}

void RenderCDataSection(const TXmlCDATASection& section, std::string& out) {
    ForEachCDataPiece(section.StoredText(), [&out](std::string_view piece) {
        out += "<![CDATA[";
        out += piece;
        out += "]]>";
    });
}

void RenderComment(const TXmlComment& comment, std::string& out) {
    out += "<!--";
    out += comment.StoredText();
    out += "-->";
}

// With data, only the data is written; without, the attributes (the XML declaration).
// The parser keeps the blanks between target and data as part of the data, so a
// blank separator is written only for data that does not begin with one: text read
// and written again stays the same instead of gaining a blank each time.
void RenderProcessingInstruction(TXmlProcessingInstruction& instruction, TXmlDocument* owner, std::string& out) {
    out += "<?";
    out += instruction.GetNodeName();
    const std::string data = instruction.GetText();
    if (data.empty()) {
        AppendAttributes(instruction, owner, out);
    } else {
        if (static_cast<unsigned char>(data.front()) > ' ') out += ' ';
        out += data;
    }
    out += "?>";
}

void RenderNode(TXmlNode& node, TXmlDocument* owner, std::string& out) {
    switch (node.GetNodeType()) {
        case ELEMENT_NODE: RenderElement(static_cast<TXmlElement&>(node), owner, out); return;
        case TEXT_NODE: RenderText(static_cast<TXmlText&>(node), owner, out); return;
        case CDATA_SECTION_NODE: RenderCDataSection(static_cast<TXmlCDATASection&>(node), out); return;
        case COMMENT_NODE: RenderComment(static_cast<TXmlComment&>(node), out); return;
        case PROCESSING_INSTRUCTION_NODE:
            RenderProcessingInstruction(static_cast<TXmlProcessingInstruction&>(node), owner, out);
            return;
        case DOCUMENT_NODE: RenderChildren(node, owner, out); return;
        default: out += node.GetXML(); return;
    }
}

// The rendering of one node on its own, as its GetXML gives it.
std::string RenderStartingAt(TXmlNode& node) {
    std::string out;
    RenderNode(node, node.OwnerDocument(), out);
    return out;
}

}  // namespace

TRenderHandlerScope::TRenderHandlerScope(const ElementContentHandler& handler, const std::string& targetName) noexcept
    : savedHandler_(renderState.Handler), savedTargetName_(renderState.TargetName) {
    renderState.Handler = handler ? &handler : nullptr;
    renderState.TargetName = &targetName;
}

TRenderHandlerScope::~TRenderHandlerScope() {
    renderState.Handler = savedHandler_;
    renderState.TargetName = savedTargetName_;
}

std::string TXmlElement::GetXML() { return RenderStartingAt(*this); }
std::string TXmlText::GetXML() { return RenderStartingAt(*this); }
std::string TXmlCDATASection::GetXML() { return RenderStartingAt(*this); }
std::string TXmlComment::GetXML() { return RenderStartingAt(*this); }
std::string TXmlProcessingInstruction::GetXML() { return RenderStartingAt(*this); }
std::string TXmlDocument::GetXML() { return RenderStartingAt(*this); }

std::string TXmlNodeList::GetXML() {
    std::string out;
    for (std::int32_t index = 0; index < count_; ++index) {
        const IXmlNode item = ItemAt(index);
        RenderNode(*item, item->OwnerDocument(), out);
    }
    return out;
}

}  // namespace TolvexXml
