#include "xml/XmlParser.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Exception.h"
#include "base/Format.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlLoadArena.h"
#include "xml/XmlNodeKinds.h"
#include "xml/XmlRunScan.h"
#include "xml/XmlSource.h"
#include "xml/XmlSourceEncoding.h"

namespace TolvexXml {

namespace {

// Character classes of the bytes, one bit each.
enum : std::uint8_t {
    Blank = 1,       // 0x00..0x20
    NameStart = 2,   // A..Z a..z 0..9 _
    NameChar = 4,    // name start, - . : &
};

constexpr std::array<std::uint8_t, 256> MakeCharClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c <= 32; ++c) classes[c] |= Blank;
    for (int c = 0; c < 256; ++c) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (alnum || c == '_') classes[c] |= NameStart | NameChar;
        if (c == '-' || c == '.' || c == ':' || c == '&') classes[c] |= NameChar;
    }
    return classes;
}

constexpr std::array<std::uint8_t, 256> charClasses = MakeCharClasses();

inline bool Is(char c, std::uint8_t classMask) {
    return (charClasses[static_cast<unsigned char>(c)] & classMask) != 0;
}

// The first byte in [p, end) that is (or is not) of the class; end when none.
inline const char* ScanWhile(const char* p, const char* end, std::uint8_t classMask) {
    while (end - p >= 4) {
        if (!Is(p[0], classMask)) return p;
        if (!Is(p[1], classMask)) return p + 1;
        if (!Is(p[2], classMask)) return p + 2;
        if (!Is(p[3], classMask)) return p + 3;
        p += 4;
    }
    while (p != end && Is(*p, classMask)) ++p;
    return p;
}

template <class Unsigned>
Unsigned Word(const char* bytes) {
    Unsigned word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Whether the count bytes at a and b are the same; compared a word at a time (the
// last words may overlap), since names are short and a library call would cost
// more than the comparison.
inline bool SameBytes(const char* a, const char* b, std::size_t count) {
    if (count >= 8) {
        for (std::size_t at = 0; at + 8 < count; at += 8)
            if (Word<std::uint64_t>(a + at) != Word<std::uint64_t>(b + at)) return false;
        return Word<std::uint64_t>(a + count - 8) == Word<std::uint64_t>(b + count - 8);
    }
    if (count >= 4)
        return Word<std::uint32_t>(a) == Word<std::uint32_t>(b) &&
               Word<std::uint32_t>(a + count - 4) == Word<std::uint32_t>(b + count - 4);
    for (std::size_t at = 0; at < count; ++at)
        if (a[at] != b[at]) return false;
    return true;
}

// Copies count bytes; short runs, the most common attribute values, a word or
// two at a time (the words may overlap) instead of through a library call.
inline void CopyBytes(char* to, const char* from, std::size_t count) {
    if (count > 16) {
        std::memcpy(to, from, count);
    } else if (count >= 8) {
        const auto head = Word<std::uint64_t>(from);
        const auto tail = Word<std::uint64_t>(from + count - 8);
        std::memcpy(to, &head, 8);
        std::memcpy(to + count - 8, &tail, 8);
    } else if (count >= 4) {
        const auto head = Word<std::uint32_t>(from);
        const auto tail = Word<std::uint32_t>(from + count - 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + count - 4, &tail, 4);
    } else {
        for (std::size_t at = 0; at < count; ++at) to[at] = from[at];
    }
}

inline bool IsName(const std::string& known, std::string_view name) {
    return known.size() == name.size() && SameBytes(known.data(), name.data(), name.size());
}

// The named references and their characters.
struct NamedReference {
    std::string_view name;
    char character;
};
constexpr NamedReference namedReferences[] = {
    {"amp", '&'}, {"quot", '"'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}};

// The value of a digit of a character reference; -1 for a byte that is none.
inline int ReferenceDigit(char c, bool hexadecimal) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hexadecimal && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hexadecimal && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The common references decoded straight from the window: the five named ones
// and numbers, each with its ";" within the window. Returns the byte after the
// ";", or nullptr (and decodes nothing) for any other text at p, which the
// general reading then takes with its failures. p is at "&".
const char* DecodeReferenceInWindow(const char* p, const char* end, char& decoded) {
    const auto available = static_cast<std::size_t>(end - p);
    if (available < 2) return nullptr;
    if (p[1] != '#') {
        for (const NamedReference& entry : namedReferences) {
            const std::size_t size = entry.name.size();
            if (available >= size + 2 && std::memcmp(p + 1, entry.name.data(), size) == 0 && p[size + 1] == ';') {
                decoded = entry.character;
                return p + size + 2;
            }
        }
        return nullptr;
    }
    const bool hexadecimal = available > 2 && p[2] == 'x';
    const char* digits = p + (hexadecimal ? 3 : 2);
    std::uint32_t number = 0;
    const char* q = digits;
    for (int digit; q != end && (digit = ReferenceDigit(*q, hexadecimal)) >= 0; ++q)
        number = number * (hexadecimal ? 16u : 10u) + static_cast<std::uint32_t>(digit);
    if (q == digits || q == end || *q != ';') return nullptr;
    decoded = static_cast<char>(number & 0xFF);
    return q + 1;
}

bool IsAllBlank(const char* begin, const char* end) { return ScanWhile(begin, end, Blank) == end; }

[[noreturn]] void Fail(const std::string& message) { throw TolvexXmlException(message); }

// One parse: the recursive descent over a source into node lists.
class XmlParser final : private TXmlWindowObserver {
public:
    XmlParser(TXmlSource& source, TXmlNameTable& nameTable, bool preserveWhiteSpace, TXmlLoadArena& arena)
        : source_(source), nameTable_(nameTable), arena_(arena), preserveWhiteSpace_(preserveWhiteSpace) {
        knownIds_.fill(-1);
        source_.SetWindowObserver(this);
    }
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;
    ~XmlParser() { source_.SetWindowObserver(nullptr); }

    void ParseChildren(TXmlNodeList& list);

private:
    // Values of the tag being read that are still views into the window are
    // copied out before the window is refilled.
    void BeforeRefill() override;
    void ParseText(TXmlNodeList& list);
    void ParseProcessingInstruction(TXmlNodeList& list);
    void ParseComment(TXmlNodeList& list);
    void ParseCDATASection(TXmlNodeList& list);
    void SkipDocType();
    void ParseElement(TXmlNodeList& list);
    // Reads the attributes of a start tag (or of the XML declaration) into the
    // node, which keeps those read before a failure.
    void ReadAttributes(TXmlNode& node, std::int32_t nodeNameId);
    // Reads the attributes into pendingAttrs_, trying the names of the last node of
    // the same name first.
    void GatherAttributes(const std::vector<std::int32_t>& expectedNames);
    // The common attributes read at once, straight from the window: the names of
    // the last node of the same name in their places, each with "=" and a quoted
    // value with none but the common references, all within the window. Reading
    // stops before the first attribute that does not fit that (also under UTF-8
    // decoding), which is left to the general reading; false when none was read.
    bool ReadExpectedAttributes(const std::vector<std::int32_t>& expectedNames);
    // Takes the quoted value at runBegin as the attribute nameId when it ends with
    // quote within the window; returns the closing quote, or null (taking nothing).
    const char* TakeValueInWindow(std::int32_t nameId, char quote, const char* runBegin, const char* end);
    // Records the positions of the names read so far (see NameState).
    void RecordPositions();
    // Moves pendingAttrs_ into the node and records their names, in order, in names.
    void HandOverAttributes(TXmlNode& node, std::vector<std::int32_t>& names);

    // Most calls find no blank or a single one, so those cases stay inline.
    void SkipBlanks() {
        if (source_.Eof() || !Is(source_.CurChar, Blank)) return;
        const char* next = source_.Position() + 1;
        if (next != source_.WindowEnd() && !Is(*next, Blank))
            source_.SkipTo(next);
        else
            SkipBlankRun();
    }
    void SkipBlankRun();
    // Inline: it runs for every attribute and tag end.
    void ExpectChar(char c) {
        if (source_.Eof() || source_.CurChar != c) FailCharExpected(c);
        source_.Next();
    }
    [[noreturn]] static void FailCharExpected(char c);
    void ExpectText(std::string_view text);
    // The name at the current character. The view lasts until the source moves
    // on or the next name is read.
    std::string_view ReadName();
    // The id when the name of that id stands at the current character (and is
    // taken), -1 otherwise.
    std::int32_t MatchName(std::int32_t nameId);
    // The id of a name met before in this load; -1 when it is not known yet.
    std::int32_t KnownNameId(std::string_view name) const;
    // The id of the name, interning it in the table when it is not known yet.
    std::int32_t InternName(std::string_view name);
    std::uint32_t ReadNumber(bool hexadecimal);
    char ReadReference();
    // An attribute of the tag being read: its name id and the bytes of its value,
    // in the source's window (a value read at once, without references) or in
    // attrTexts_; wide when UTF-8 decoding makes the value UTF-16 text.
    struct PendingAttr {
        std::int32_t nameId;
        bool wide;
        const char* windowText;  // null when the bytes are in attrTexts_
        std::size_t begin;       // where they are in attrTexts_ otherwise
        std::size_t size;
    };
    const char* BytesOf(const PendingAttr& attr) const {
        return attr.windowText ? attr.windowText : attrTexts_.data() + attr.begin;
    }
    std::string_view TextOf(const PendingAttr& attr) const { return std::string_view(BytesOf(attr), attr.size); }
    // Reads the quoted run at the current character into attrTexts_ and returns
    // it as an attribute without a name id yet.
    PendingAttr ReadQuotedValue(char quote);
    std::string_view ReadUntil(std::string_view terminator);
    // The run of the source's characters up to stop, "<" or "&" (or the end of
    // input), with references replaced; left on the stop character. The view
    // lasts until the source moves on or the next token is started.
    std::string_view ReadRun(char stop);
    // The value of a run. Inline: it runs for every value and text.
    Platform::Variant ParsedValue(std::string_view text) {
        if (source_.DecodeUtf8) return DecodeUtf8Value(std::string(text));
        return StoredText(text);
    }
    // A text not too long for a block is carved from the arena: no heap block of
    // its own to take and give back, and a value that moves as two words.
    Platform::Variant StoredText(std::string_view text) { return Platform::Variant::CopiedString(arena_, text); }

    TXmlSource& source_;
    TXmlNameTable& nameTable_;
    TXmlLoadArena& arena_;  // the nodes and child lists made by this parse
    const bool preserveWhiteSpace_;
    std::int32_t depth_ = 0;
    // What the parser keeps per name id. attrPosition: the index of the attribute
    // of that name in the node being read (-1: none yet), so a repeated name is
    // found without a search and an element with a million attributes loads in
    // linear time; reset name by name once the node is read. lastAttrNames: the
    // attribute names of the last node of that name, in order. Nodes of one name
    // tend to carry the same attributes, so the next node's array starts at that
    // size, and each of its names is first compared with the one at the same place
    // there, which spares scanning and looking up the name when they match.
    struct NameState {
        std::int32_t attrPosition = -1;
        std::vector<std::int32_t> lastAttrNames;
    };
    NameState& StateOf(std::int32_t nameId) {
        const auto index = static_cast<std::size_t>(nameId);
        if (index >= nameStates_.size()) nameStates_.resize(index + 1);
        return nameStates_[index];
    }
    std::vector<NameState> nameStates_;
    std::vector<PendingAttr> pendingAttrs_;  // the attributes of the tag being read
    std::size_t pendingTextBytes_ = 0;       // the sum of their sizes
    void AddPending(const PendingAttr& attr) {
        pendingAttrs_.push_back(attr);
        pendingTextBytes_ += attr.size;
    }
    std::string attrTexts_;                  // the bytes of those values not in the window
    bool attrTextsWide_ = false;             // some value is UTF-16 text
    std::vector<TXmlAttrData> typedAttrs_;   // their typed entries, when they do not pack
    // Whether the attribute positions of the tag being read are recorded. While
    // every name read is the expected one in its place, they need not be: those
    // names are distinct, being the names of one node.
    bool positionsRecorded_ = false;
    std::string longName_;             // a name read across buffer fills

    // The ids of the names met in this load by a hash of their bytes (-1 for an
    // empty slot): names repeat, and a hit spares the table's lookup.
    static constexpr std::size_t knownNameSlots = 256;
    // A hash of the length and of the first and last bytes, read as words: names
    // are short and differ mostly at their ends.
    static std::size_t KnownNameSlot(std::string_view name) {
        const char* bytes = name.data();
        const std::size_t size = name.size();
        std::uint64_t head;
        std::uint64_t tail;
        if (size >= 8) {
            head = Word<std::uint64_t>(bytes);
            tail = Word<std::uint64_t>(bytes + size - 8);
        } else if (size >= 4) {
            head = Word<std::uint32_t>(bytes);
            tail = Word<std::uint32_t>(bytes + size - 4);
        } else {  // 1 to 3 bytes: a name is never empty
            head = static_cast<unsigned char>(bytes[0]);
            tail = static_cast<unsigned char>(bytes[size - 1]) << 8 | static_cast<unsigned char>(bytes[size / 2]);
        }
        const std::uint64_t hash = (head * 0x9E3779B97F4A7C15ull) ^ (tail * 0xC2B2AE3D27D4EB4Full) ^ size;
        return static_cast<std::size_t>(hash >> 56) % knownNameSlots;
    }
    // Whether the slot holds the id of that name.
    bool SlotHolds(std::int32_t id, std::string_view name) const {
        return id >= 0 && IsName(nameTable_.Names()[static_cast<std::size_t>(id)], name);
    }
    std::array<std::int32_t, knownNameSlots> knownIds_;
};

void XmlParser::SkipBlankRun() {
    while (!source_.Eof() && Is(source_.CurChar, Blank))
        source_.SkipTo(ScanWhile(source_.Position() + 1, source_.WindowEnd(), Blank));
}

void XmlParser::FailCharExpected(char c) { Fail(Platform::Format("Character %c expected", c)); }

void XmlParser::ExpectText(std::string_view text) {
    // Within one window the whole text is compared at once.
    if (static_cast<std::size_t>(source_.WindowEnd() - source_.Position()) >= text.size() &&
        std::memcmp(source_.Position(), text.data(), text.size()) == 0) {
        source_.SkipTo(source_.Position() + text.size());
        return;
    }
    for (const char c : text) {
        if (source_.Eof() || source_.CurChar != c)
            Fail(Platform::Format("\"%.*s\" expected", static_cast<int>(text.size()), text.data()));
        source_.Next();
    }
}

std::string_view XmlParser::ReadName() {
    if (!Is(source_.CurChar, NameStart)) Fail("Name must start with letter or \"_\"");
    const char* begin = source_.Position();
    const char* end = source_.WindowEnd();
    const char* p = ScanWhile(begin + 1, end, NameChar);
    if (p != end) {
        source_.SkipTo(p);
        return std::string_view(begin, static_cast<std::size_t>(p - begin));
    }
    longName_.clear();
    for (;;) {
        longName_.append(begin, p);
        if (!source_.SkipTo(p) || !Is(source_.CurChar, NameChar)) break;
        begin = source_.Position();
        end = source_.WindowEnd();
        p = ScanWhile(begin, end, NameChar);
    }
    return longName_;
}

std::int32_t XmlParser::KnownNameId(std::string_view name) const {
    const std::int32_t id = knownIds_[KnownNameSlot(name)];
    return SlotHolds(id, name) ? id : -1;
}

std::int32_t XmlParser::InternName(std::string_view name) {
    std::int32_t& id = knownIds_[KnownNameSlot(name)];
    if (!SlotHolds(id, name)) id = nameTable_.NameToId(name, false);
    return id;
}

// The digits of a character reference; the number counts modulo 2^32 (only its
// low 8 bits are used).
std::uint32_t XmlParser::ReadNumber(bool hexadecimal) {
    std::uint32_t number = 0;
    bool anyDigit = false;
    for (int digit; (digit = ReferenceDigit(source_.CurChar, hexadecimal)) >= 0; source_.Next()) {
        number = number * (hexadecimal ? 16u : 10u) + static_cast<std::uint32_t>(digit);
        anyDigit = true;
    }
    if (!anyDigit) Fail(hexadecimal ? "Hexadecimal number expected" : "Number expected");
    return number;
}

char XmlParser::ReadReference() {
    if (!source_.Next()) Fail("\"#\" expected or special symbol name");
    if (source_.CurChar == '#') {
        if (!source_.Next()) Fail("Number expected");
        const bool hexadecimal = source_.CurChar == 'x';
        if (hexadecimal) source_.Next();
        const std::uint32_t number = ReadNumber(hexadecimal);
        ExpectChar(';');
        return static_cast<char>(number & 0xFF);
    }
    // The name is settled before ";" is taken, which may move the window.
    const std::string_view name = ReadName();
    for (const NamedReference& entry : namedReferences) {
        if (name == entry.name) {
            ExpectChar(';');
            return entry.character;
        }
    }
    const std::string unknown(name);
    ExpectChar(';');
    Fail(Platform::Format("Bad special symbol name: \"%s\"", unknown.c_str()));
}

std::string_view XmlParser::ReadRun(char stop) {
    const char* begin = source_.Position();
    const char* end = source_.WindowEnd();
    const char* p = FindRunEnd(begin, end, stop);
    if (p != end && *p != '&') {
        // The common case: the whole run lies in the window and holds no reference.
        source_.SkipTo(p);
        return std::string_view(begin, static_cast<std::size_t>(p - begin));
    }
    source_.NewToken();
    for (;;) {
        source_.AppendChars(begin, static_cast<std::size_t>(p - begin));
        const bool windowUsedUp = p == end;
        if (!source_.SkipTo(p)) break;
        if (!windowUsedUp) {
            if (source_.CurChar != '&') break;
            char decoded;
            if (const char* after = DecodeReferenceInWindow(source_.Position(), source_.WindowEnd(), decoded)) {
                source_.AppendChar(decoded);
                source_.SkipTo(after);
            } else {
                source_.AppendChar(ReadReference());
            }
        }
        begin = source_.Position();
        end = source_.WindowEnd();
        p = FindRunEnd(begin, end, stop);
    }
    // The token's text stays in its buffer until the next token starts there.
    const std::string_view run = source_.TokenText();
    source_.DropToken();
    return run;
}

XmlParser::PendingAttr XmlParser::ReadQuotedValue(char quote) {
    source_.Next();
    const std::string_view run = ReadRun(quote);
    if (source_.Eof()) Fail(Platform::Format("Character \"%c\" expected", quote));
    if (source_.CurChar == '<') Fail("Character \"<\" can not be used in attribute values");
    // The value is taken before the closing quote is passed, which may move the
    // window; the UTF-8 check comes after it, so that a read failure there is
    // reported first, as the order of the input asks.
    PendingAttr value{-1, false, nullptr, attrTexts_.size(), run.size()};
    attrTexts_.append(run);
    source_.Next();
    if (source_.DecodeUtf8) {
        value.wide = Utf8CharacterCount(std::string_view(attrTexts_).substr(value.begin, value.size)) != value.size;
        attrTextsWide_ = attrTextsWide_ || value.wide;
    }
    return value;
}

std::string_view XmlParser::ReadUntil(std::string_view terminator) {
    source_.NewToken();
    std::size_t matched = 0;
    for (;;) {
        if (source_.Eof())
            Fail(Platform::Format("\"%.*s\" expected", static_cast<int>(terminator.size()),
                                  terminator.data()));
        if (source_.CurChar == terminator[matched]) {
            source_.Next();
            if (++matched == terminator.size()) return source_.AcceptToken();
        } else if (matched == 0) {
            // Everything up to the next possible start of the terminator at once.
            const char* begin = source_.Position();
            const char* end = source_.WindowEnd();
            const void* found = std::memchr(begin + 1, terminator[0], static_cast<std::size_t>(end - begin - 1));
            const char* p = found ? static_cast<const char*>(found) : end;
            source_.AppendChars(begin, static_cast<std::size_t>(p - begin));
            source_.SkipTo(p);
        } else {
            // The terminators repeat their first character in every matched prefix,
            // so one character of it is text and the same character is compared again.
            source_.AppendChar(terminator[0]);
            --matched;
        }
    }
}

void XmlParser::ParseChildren(TXmlNodeList& list) {
    while (!source_.Eof()) {
        ParseText(list);
        if (source_.CurChar != '<' || !source_.Next()) continue;
        switch (source_.CurChar) {
            case '/':
                return;
            case '?':
                ParseProcessingInstruction(list);
                break;
            case '!':
                if (!source_.Next()) break;
                if (source_.CurChar == '-')
                    ParseComment(list);
                else if (source_.CurChar == '[')
                    ParseCDATASection(list);
                else
                    SkipDocType();
                break;
            default:
                ParseElement(list);
                break;
        }
    }
}

void XmlParser::ParseText(TXmlNodeList& list) {
    // Blanks between tags make no text node unless white space is preserved; when
    // the next tag follows within the window they are passed without a copy.
    if (!preserveWhiteSpace_) {
        const char* p = ScanWhile(source_.Position(), source_.WindowEnd(), Blank);
        if (p != source_.WindowEnd() && *p == '<') {
            source_.SkipTo(p);
            return;
        }
    }
    const std::string_view text = ReadRun('<');
    if (!preserveWhiteSpace_ && IsAllBlank(text.data(), text.data() + text.size())) return;
    arena_.Append<TXmlText>(list, &nameTable_, ParsedValue(text));
}

void XmlParser::ParseProcessingInstruction(TXmlNodeList& list) {
    source_.Next();
    const std::int32_t targetId = InternName(ReadName());
    TXmlProcessingInstruction* instruction =
        arena_.Append<TXmlProcessingInstruction>(list, &nameTable_, targetId, std::string());
    if (targetId != nameTable_.XmlId()) {
        instruction->SetText(std::string(ReadUntil("?>")));
        return;
    }
    ReadAttributes(*instruction, targetId);
    ExpectText("?>");
    source_.CodePage = EncodingToCodePage(instruction->GetAttrText("encoding", std::string()));
    if (DecodeUtf8OnLoad && source_.CodePage == 65001) source_.DecodeUtf8 = true;
}

void XmlParser::ParseComment(TXmlNodeList& list) {
    ExpectText("--");
    arena_.Append<TXmlComment>(list, &nameTable_, StoredText(ReadUntil("-->")));
}

void XmlParser::ParseCDATASection(TXmlNodeList& list) {
    ExpectText("[CDATA[");
    arena_.Append<TXmlCDATASection>(list, &nameTable_, StoredText(ReadUntil("]]>")));
}

void XmlParser::SkipDocType() {
    ExpectText("DOCTYPE");
    ReadUntil(">");
}

void XmlParser::ParseElement(TXmlNodeList& list) {
    if (depth_ == MaxElementDepth) Fail(MaxDepthMessage);
    const std::int32_t nameId = InternName(ReadName());
    if (source_.Eof()) Fail("Не завершено определение элемента");
    const char c = source_.CurChar;
    if (!Is(c, Blank) && c != '/' && c != '>') Fail("Некорретный символ в имени элемента");
    TXmlElement* element = arena_.Append<TXmlElement>(list, &nameTable_, nameId);
    ReadAttributes(*element, nameId);
    if (source_.CurChar == '/') {
        ExpectText("/>");
        return;
    }
    ExpectChar('>');
    ++depth_;
    ParseChildren(arena_.ChildListOf(*element));
    --depth_;
    ExpectChar('/');
    ExpectText(nameTable_.Names()[static_cast<std::size_t>(nameId)]);
    SkipBlanks();
    ExpectChar('>');
}

std::int32_t XmlParser::MatchName(std::int32_t nameId) {
    const std::string& name = nameTable_.Names()[static_cast<std::size_t>(nameId)];
    const char* p = source_.Position();
    if (static_cast<std::size_t>(source_.WindowEnd() - p) <= name.size() ||
        !SameBytes(p, name.data(), name.size()) || Is(p[name.size()], NameChar))
        return -1;
    source_.SkipTo(p + name.size());
    return nameId;
}

void XmlParser::ReadAttributes(TXmlNode& node, std::int32_t nodeNameId) {
    // The entries are gathered in the parser's own array and handed to the node
    // once the tag is read, or when reading fails half-way.
    std::vector<std::int32_t> names = std::move(StateOf(nodeNameId).lastAttrNames);
    pendingAttrs_.clear();
    pendingTextBytes_ = 0;
    attrTexts_.clear();
    attrTextsWide_ = false;
    try {
        GatherAttributes(names);
    } catch (...) {
        HandOverAttributes(node, names);
        throw;
    }
    HandOverAttributes(node, names);
    StateOf(nodeNameId).lastAttrNames = std::move(names);
}

bool XmlParser::ReadExpectedAttributes(const std::vector<std::int32_t>& expectedNames) {
    if (source_.DecodeUtf8) return false;
    const std::vector<std::string>& names = nameTable_.Names();
    const std::size_t first = pendingAttrs_.size();
    const char* p = source_.Position();
    const char* const end = source_.WindowEnd();
    // p stays at the start of the next attribute; the source moves there once.
    for (std::size_t index = first; index < expectedNames.size(); ++index) {
        const std::int32_t nameId = expectedNames[index];
        const std::string& name = names[static_cast<std::size_t>(nameId)];
        if (static_cast<std::size_t>(end - p) <= name.size() + 1 || !SameBytes(p, name.data(), name.size())) break;
        const char* q = p + name.size();
        if (q[0] != '=' || (q[1] != '"' && q[1] != '\'')) break;
        const char* closingQuote = TakeValueInWindow(nameId, q[1], q + 2, end);
        if (!closingQuote) break;
        p = closingQuote + 1;
        if (p != end && *p == ' ') ++p;  // the usual single blank, then a name
        if (p != end && Is(*p, Blank)) p = ScanWhile(p + 1, end, Blank);
        if (p == end || !Is(*p, NameStart)) break;
    }
    if (pendingAttrs_.size() == first) return false;
    source_.SkipTo(p);
    SkipBlanks();
    return true;
}

const char* XmlParser::TakeValueInWindow(std::int32_t nameId, char quote, const char* runBegin, const char* end) {
    const char* runEnd = FindRunEnd(runBegin, end, quote);
    if (runEnd != end && *runEnd == quote) {
        // The common case: the value stays in the window until the tag is read.
        AddPending(PendingAttr{nameId, false, runBegin, 0, static_cast<std::size_t>(runEnd - runBegin)});
        return runEnd;
    }
    // The common references are decoded into attrTexts_; a value with any other
    // text at "&", or not closed within the window, goes back to the general reading.
    const std::size_t textBegin = attrTexts_.size();
    while (runEnd != end && *runEnd == '&') {
        char decoded;
        const char* after = DecodeReferenceInWindow(runEnd, end, decoded);
        if (!after) break;
        attrTexts_.append(runBegin, runEnd);
        attrTexts_.push_back(decoded);
        runBegin = after;
        runEnd = FindRunEnd(runBegin, end, quote);
    }
    if (runEnd == end || *runEnd != quote) {
        attrTexts_.resize(textBegin);
        return nullptr;
    }
    attrTexts_.append(runBegin, runEnd);
    AddPending(PendingAttr{nameId, false, nullptr, textBegin, attrTexts_.size() - textBegin});
    return runEnd;
}

void XmlParser::GatherAttributes(const std::vector<std::int32_t>& expectedNames) {
    SkipBlanks();
    while (!source_.Eof() && Is(source_.CurChar, NameStart)) {
        if (!positionsRecorded_ && ReadExpectedAttributes(expectedNames)) continue;
        if (!positionsRecorded_) RecordPositions();
        const std::size_t namesRead = pendingAttrs_.size();
        std::int32_t nameId = namesRead < expectedNames.size() ? MatchName(expectedNames[namesRead]) : -1;
        // Otherwise the name is interned once its value has been read; until then a
        // name not met before is kept as a copy (reading the value may move the window).
        std::string newName;
        if (nameId < 0) {
            const std::string_view name = ReadName();
            nameId = KnownNameId(name);
            if (nameId < 0) newName = name;
        }
        SkipBlanks();
        ExpectChar('=');
        SkipBlanks();
        if (source_.Eof()) Fail("Attribute value expected");
        if (source_.CurChar != '\'' && source_.CurChar != '"') Fail("String constant expected");
        PendingAttr value = ReadQuotedValue(source_.CurChar);
        if (nameId < 0) nameId = InternName(newName);
        value.nameId = nameId;
        // A repeated name replaces the earlier value in its place.
        std::int32_t& position = StateOf(nameId).attrPosition;
        if (position >= 0) {
            PendingAttr& replaced = pendingAttrs_[static_cast<std::size_t>(position)];
            pendingTextBytes_ = pendingTextBytes_ - replaced.size + value.size;
            replaced = value;
        } else {
            position = static_cast<std::int32_t>(pendingAttrs_.size());
            AddPending(value);
        }
        SkipBlanks();
    }
}

void XmlParser::RecordPositions() {
    for (std::size_t i = 0; i < pendingAttrs_.size(); ++i)
        StateOf(pendingAttrs_[i].nameId).attrPosition = static_cast<std::int32_t>(i);
    positionsRecorded_ = true;
}

void XmlParser::HandOverAttributes(TXmlNode& node, std::vector<std::int32_t>& names) {
    // Names read only in their expected places are the first of names already.
    const std::size_t count = pendingAttrs_.size();
    names.resize(count);
    if (positionsRecorded_) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t nameId = pendingAttrs_[i].nameId;
            names[i] = nameId;
            StateOf(nameId).attrPosition = -1;
        }
        positionsRecorded_ = false;
    }
    if (count == 0) return;
    const std::size_t textBytes = pendingTextBytes_;
    if (!attrTextsWide_ && TXmlAttrArray::Packs(count, textBytes)) {
        // The common case: 8-bit texts that fit one piece with their entries.
        TXmlAttrArray packed = TXmlAttrArray::CarvePacked(arena_, count, textBytes);
        TXmlPackedAttr* entries = packed.PackedEntries();
        char* texts = packed.PackedTexts();
        std::uint32_t end = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const PendingAttr& attr = pendingAttrs_[i];
            CopyBytes(texts + end, BytesOf(attr), attr.size);
            end += static_cast<std::uint32_t>(attr.size);
            entries[i] = TXmlPackedAttr{attr.nameId, end};
        }
        node.TakePackedAttrs(std::move(packed), static_cast<std::int32_t>(count));
    } else {
        typedAttrs_.clear();
        for (const PendingAttr& attr : pendingAttrs_)
            typedAttrs_.push_back(TXmlAttrData{ParsedValue(TextOf(attr)), attr.nameId});
        node.TakeLoadedAttrs(&arena_, typedAttrs_.data(), static_cast<std::int32_t>(count));
        typedAttrs_.clear();
    }
    // No view into the window outlives the tag.
    pendingAttrs_.clear();
}

void XmlParser::BeforeRefill() {
    for (PendingAttr& attr : pendingAttrs_) {
        if (!attr.windowText) continue;
        attr.begin = attrTexts_.size();
        attrTexts_.append(attr.windowText, attr.size);
        attr.windowText = nullptr;
    }
}

}  // namespace

void TXmlNodeList::ParseChildren(TXmlSource& source, TXmlNameTable& nameTable, bool preserveWhiteSpace,
                                 TXmlLoadArena& arena) {
    XmlParser(source, nameTable, preserveWhiteSpace, arena).ParseChildren(*this);
}

}  // namespace TolvexXml
