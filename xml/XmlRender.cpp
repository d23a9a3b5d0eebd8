// XML text of nodes, node lists and documents, in the indented form (every element
// on a new line, indented with TABs by depth) or the compact form (the owner
// document's PreserveWhiteSpace), which adds nothing between nodes.
//
// A rendering appends to one output string all the way down; a node's GetXML is
// the rendering started at that node. The walk keeps its open nodes on a stack of
// its own, so a tree of any depth renders on a small thread stack.
#include "xml/XmlRender.h"

#include <cstdint>
#include <deque>
#include <exception>
#include <string>
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
        const TXmlAttrRef attr = node.GetAttrData(index);
        out += ' ';
        out += names.IdToName(attr.NameId);
        out += "=\"";
        const Platform::Variant* typed = attr.Value.Typed();
        out += EscapeXmlText(typed ? ValueText(*typed, owner) : attr.Value.ToString());
        out += '"';
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

// The rendering of one subtree into one output string. Elements and documents
// whose children are still to come wait on an explicit stack, so the depth of a
// tree takes heap, not call stack. Each element's frame holds what the element
// needs once its children are out: its name, form, depth, where its content
// starts, and the handler target it replaced, if any.
class TTreeRenderer {
public:
    explicit TTreeRenderer(std::string& out) : out_(out) {}

    // Renders the node and everything below it. The rendering state is back at its
    // previous values afterwards, also when a content handler fails.
    void Render(TXmlNode& node, TXmlDocument* owner) {
        const TRenderState saved = renderState;
        try {
            Begin(node, owner);
            while (!frames_.empty()) Step();
        } catch (...) {
            renderState = saved;
            throw;
        }
    }

private:
    struct TFrame {
        IXmlNode node;  // held while it renders, so that a content handler changing the tree cannot free it
        TXmlDocument* owner = nullptr;
        const TXmlNodeList* children = nullptr;
        std::int32_t nextChild = 0;
        // Elements only:
        TXmlElement* element = nullptr;
        std::string name;
        bool compact = false;
        std::int32_t depth = 0;
        std::size_t contentStart = 0;
        // The handler target this element replaced while it renders (see Begin).
        bool retargeted = false;
        std::string targetName;
        const std::string* savedTargetName = nullptr;
        std::int32_t savedGuard = 0;
    };

    void Begin(TXmlNode& node, TXmlDocument* owner) {
        switch (node.GetNodeType()) {
            case ELEMENT_NODE: BeginElement(static_cast<TXmlElement&>(node), owner); return;
            case TEXT_NODE: RenderText(static_cast<TXmlText&>(node), owner, out_); return;
            case CDATA_SECTION_NODE: RenderCDataSection(static_cast<TXmlCDATASection&>(node), out_); return;
            case COMMENT_NODE: RenderComment(static_cast<TXmlComment&>(node), out_); return;
            case PROCESSING_INSTRUCTION_NODE:
                RenderProcessingInstruction(static_cast<TXmlProcessingInstruction&>(node), owner, out_);
                return;
            case DOCUMENT_NODE: {
                TFrame& frame = frames_.emplace_back();
                frame.node = &node;
                frame.owner = owner;
                frame.children = node.PeekChildList();
                return;
            }
            default: out_ += node.GetXML(); return;
        }
    }

    // The next child of the innermost open node, or the end of that node. A child
    // normally belongs to the document of the node being rendered; one whose parent
    // is elsewhere (a node may stand in several lists) or that is a document itself
    // finds its own.
    void Step() {
        TFrame& frame = frames_.back();
        if (!frame.children || frame.nextChild >= frame.children->GetCount()) {
            if (frame.element) FinishElement(frame);
            frames_.pop_back();
            return;
        }
        const IXmlNode child = frame.children->ItemAt(frame.nextChild++);
        TXmlDocument* childOwner = child->ParentNode() == frame.node.Get() && child->GetNodeType() != DOCUMENT_NODE
                                       ? frame.owner
                                       : child->OwnerDocument();
        Begin(*child, childOwner);
    }

    void BeginElement(TXmlElement& element, TXmlDocument* owner) {
        TFrame& frame = frames_.emplace_back();
        frame.node = &element;
        frame.element = &element;
        frame.owner = owner;
        frame.name = element.NameTable().IdToName(element.GetNameId());
        const TXmlNodeList* children = element.PeekChildList();
        const bool hasChildren = children && children->GetCount() > 0;

        // A handler for an element with exactly one child is asked for elements named
        // like that child instead, in this element and everything below it.
        if (HandlerTargets(frame.name) && children && children->GetCount() == 1 && renderState.RetargetGuard == 0) {
            frame.retargeted = true;
            frame.targetName = children->ItemAt(0)->GetNodeName();
            frame.savedTargetName = renderState.TargetName;
            frame.savedGuard = renderState.RetargetGuard;
            renderState.TargetName = &frame.targetName;
            ++renderState.RetargetGuard;
        }

        frame.compact = IsCompact(owner);
        frame.depth = renderState.RenderDepth;
        if (!frame.compact) {
            out_ += LineBreak;
            AppendIndent(out_, frame.depth);
        }
        out_ += '<';
        out_ += frame.name;
        AppendAttributes(element, owner, out_);
        // Closed as "/>" at the end when the content stays empty.
        out_ += '>';
        frame.contentStart = out_.size();

        if (hasChildren) {
            frame.children = children;
            if (!frame.compact) ++renderState.RenderDepth;
        } else if (!element.HeldValue().IsEmpty()) {
            out_ += EscapeXmlText(ValueText(element.HeldValue(), owner));
        }
    }

    void FinishElement(TFrame& frame) {
        renderState.RenderDepth = frame.depth;
        if (HandlerTargets(frame.name)) ApplyHandler(*frame.element, frame.compact, frame.contentStart, out_);
        CloseElement(frame);
        if (frame.retargeted) {
            renderState.TargetName = frame.savedTargetName;
            renderState.RetargetGuard = frame.savedGuard;
        }
    }

    void CloseElement(const TFrame& frame) {
        if (out_.size() == frame.contentStart) {
            out_.back() = '/';
            out_ += '>';
            return;
        }
        if (!frame.compact) {
            const std::string_view content = std::string_view(out_).substr(frame.contentStart);
            if (content.find_first_of("\r\n") != std::string_view::npos) {
                if (!content.ends_with(LineBreak)) out_ += LineBreak;
                AppendIndent(out_, frame.depth);
            }
        }
        out_ += "</";
        out_ += frame.name;
        out_ += '>';
    }

    std::string& out_;
    // A deque keeps each frame in place while frames are added above it: the
    // handler target may point into a frame.
    std::deque<TFrame> frames_;
};

// The rendering of one node on its own, as its GetXML gives it.
std::string RenderStartingAt(TXmlNode& node) {
    std::string out;
    TTreeRenderer(out).Render(node, node.OwnerDocument());
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
        TTreeRenderer(out).Render(*item, item->OwnerDocument());
    }
    return out;
}

}  // namespace TolvexXml
