#include "xml/XmlParser.h"

#include <array>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Exception.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlNodeKinds.h"
#include "xml/XmlSource.h"
#include "xml/XmlSourceEncoding.h"

namespace TolvexXml {

namespace {

// Character classes of the bytes, one bit each.
enum : std::uint8_t {
    Blank = 1,       // 0x00..0x20
    NameStart = 2,   // A..Z a..z 0..9 _
    NameChar = 4,    // name start, - . : &
    TextStop = 8,    // < &  (ends a run of character data)
    AposStop = 16,   // ' < &  (ends a run of an apostrophe-quoted value)
    QuotStop = 32,   // " < &  (ends a run of a double-quoted value)
};

constexpr std::array<std::uint8_t, 256> MakeCharClasses() {
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c <= 32; ++c) classes[c] |= Blank;
    for (int c = 0; c < 256; ++c) {
        const bool alnum = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (alnum || c == '_') classes[c] |= NameStart | NameChar;
        if (c == '-' || c == '.' || c == ':' || c == '&') classes[c] |= NameChar;
        if (c == '<' || c == '&') classes[c] |= TextStop | AposStop | QuotStop;
    }
    classes['\''] |= AposStop;
    classes['"'] |= QuotStop;
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

inline const char* ScanUntil(const char* p, const char* end, std::uint8_t classMask) {
    while (end - p >= 4) {
        if (Is(p[0], classMask)) return p;
        if (Is(p[1], classMask)) return p + 1;
        if (Is(p[2], classMask)) return p + 2;
        if (Is(p[3], classMask)) return p + 3;
        p += 4;
    }
    while (p != end && !Is(*p, classMask)) ++p;
    return p;
}

bool IsAllBlank(const char* begin, const char* end) { return ScanWhile(begin, end, Blank) == end; }

[[noreturn]] void Fail(const std::string& message) { throw TolvexXmlException(message); }

// One parse: the recursive descent over a source into node lists.
class XmlParser {
public:
    XmlParser(TXmlSource& source, TXmlNameTable& nameTable, bool preserveWhiteSpace)
        : source_(source), nameTable_(nameTable), preserveWhiteSpace_(preserveWhiteSpace) {}

    void ParseChildren(TXmlNodeList& list);

private:
    void ParseText(TXmlNodeList& list);
    void ParseProcessingInstruction(TXmlNodeList& list);
    void ParseComment(TXmlNodeList& list);
    void ParseCDATASection(TXmlNodeList& list);
    void SkipDocType();
    void ParseElement(TXmlNodeList& list);
    void ReadAttributes(TXmlNode& node);
    void ReadAttributeList();
    void InstallAttrs(TXmlNode& node);
    // The attribute of that name read so far for the current node, or null.
    TXmlAttrData* ReadAttr(std::int32_t nameId);

    // Most calls find no blank, so the check stays inline.
    void SkipBlanks() {
        if (!source_.Eof() && Is(source_.CurChar, Blank)) SkipBlankRun();
    }
    void SkipBlankRun();
    void ExpectChar(char c);
    void ExpectText(std::string_view text);
    // The name at the current character. The view lasts until the source moves
    // on or the next name is read.
    std::string_view ReadName();
    // The id of a name met before in this load; -1 when it is not known yet.
    std::int32_t KnownNameId(std::string_view name) const;
    // The id of the name, interning it in the table when it is not known yet.
    std::int32_t InternName(std::string_view name);
    std::uint32_t ReadNumber(bool hexadecimal);
    char ReadReference();
    std::string ReadQuotedValue(char quote);
    std::string ReadUntil(std::string_view terminator);
    // The run of the source's characters up to a byte of stopClass (or the end of
    // input), with references replaced; left on the stop character.
    std::string ReadRun(std::uint8_t stopClass);
    Platform::Variant ParsedValue(std::string&& text) const;

    template <class T>
    XmlRef<T> Append(TXmlNodeList& list, T* node) {
        XmlRef<T> ref(node);
        list.Insert(node, -1);
        return ref;
    }

    TXmlSource& source_;
    TXmlNameTable& nameTable_;
    const bool preserveWhiteSpace_;
    std::int32_t depth_ = 0;
    std::vector<TXmlAttrData> attrs_;  // scratch storage of ReadAttributes
    // The position in attrs_ of each name id read for the current node (-1: none),
    // so a repeated name is found without a search: an element with a million
    // attributes loads in linear time. Cleared again name by name as attrs_ is.
    std::vector<std::int32_t> attrPositionById_;
    std::string longName_;             // a name read across buffer fills

    // The names met in this load by a hash of their bytes: names repeat, and a
    // hit spares the table's lookup and the copy of the name.
    struct KnownName {
        std::string name;
        std::int32_t id = -1;
    };
    static constexpr std::size_t knownNameSlots = 256;
    static std::size_t KnownNameSlot(std::string_view name) {
        std::uint32_t hash = static_cast<std::uint32_t>(name.size());
        for (const char c : name) hash = hash * 33 + static_cast<unsigned char>(c);
        return hash % knownNameSlots;
    }
    std::vector<KnownName> knownNames_ = std::vector<KnownName>(knownNameSlots);
};

void XmlParser::SkipBlankRun() {
    while (!source_.Eof() && Is(source_.CurChar, Blank))
        source_.SkipTo(ScanWhile(source_.Position() + 1, source_.WindowEnd(), Blank));
}

void XmlParser::ExpectChar(char c) {
    if (source_.Eof() || source_.CurChar != c) Fail(Platform::Format("Character %c expected", c));
    source_.Next();
}

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
    const KnownName& known = knownNames_[KnownNameSlot(name)];
    return known.id >= 0 && known.name == name ? known.id : -1;
}

std::int32_t XmlParser::InternName(std::string_view name) {
    KnownName& known = knownNames_[KnownNameSlot(name)];
    if (known.id < 0 || known.name != name) {
        known.name.assign(name);
        known.id = nameTable_.NameToId(known.name, false);
    }
    return known.id;
}

// The digits of a character reference; the number counts modulo 2^32 (only its
// low 8 bits are used).
std::uint32_t XmlParser::ReadNumber(bool hexadecimal) {
    std::uint32_t number = 0;
    bool anyDigit = false;
    for (;; source_.Next()) {
        const char c = source_.CurChar;
        std::uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (hexadecimal && c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        else if (hexadecimal && c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else
            break;
        number = number * (hexadecimal ? 16u : 10u) + digit;
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
    struct Named {
        std::string_view name;
        char character;
    };
    static constexpr Named named[] = {{"amp", '&'}, {"quot", '"'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}};
    for (const Named& entry : named) {
        if (name == entry.name) {
            ExpectChar(';');
            return entry.character;
        }
    }
    const std::string unknown(name);
    ExpectChar(';');
    Fail(Platform::Format("Bad special symbol name: \"%s\"", unknown.c_str()));
}

std::string XmlParser::ReadRun(std::uint8_t stopClass) {
    const char* begin = source_.Position();
    const char* end = source_.WindowEnd();
    const char* p = ScanUntil(begin, end, stopClass);
    if (p != end && *p != '&') {
        // The common case: the whole run lies in the window and holds no reference.
        std::string run(begin, p);
        source_.SkipTo(p);
        return run;
    }
    source_.NewToken();
    for (;;) {
        source_.AppendChars(begin, static_cast<std::size_t>(p - begin));
        const bool windowUsedUp = p == end;
        if (!source_.SkipTo(p)) break;
        if (!windowUsedUp) {
            if (source_.CurChar != '&') break;
            source_.AppendChar(ReadReference());
        }
        begin = source_.Position();
        end = source_.WindowEnd();
        p = ScanUntil(begin, end, stopClass);
    }
    return source_.AcceptToken();
}

std::string XmlParser::ReadQuotedValue(char quote) {
    source_.Next();
    std::string value = ReadRun(quote == '\'' ? AposStop : QuotStop);
    if (source_.Eof()) Fail(Platform::Format("Character \"%c\" expected", quote));
    if (source_.CurChar == '<') Fail("Character \"<\" can not be used in attribute values");
    source_.Next();
    return value;
}

std::string XmlParser::ReadUntil(std::string_view terminator) {
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

Platform::Variant XmlParser::ParsedValue(std::string&& text) const {
    return source_.DecodeUtf8 ? DecodeUtf8Value(std::move(text)) : Platform::Variant::FromString(std::move(text));
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
    std::string text = ReadRun(TextStop);
    if (!preserveWhiteSpace_ && IsAllBlank(text.data(), text.data() + text.size())) return;
    Append(list, new TXmlText(&nameTable_, ParsedValue(std::move(text))));
}

void XmlParser::ParseProcessingInstruction(TXmlNodeList& list) {
    source_.Next();
    const std::int32_t targetId = InternName(ReadName());
    const auto instruction = Append(list, new TXmlProcessingInstruction(&nameTable_, targetId, std::string()));
    if (targetId != nameTable_.XmlId()) {
        instruction->SetText(ReadUntil("?>"));
        return;
    }
    ReadAttributes(*instruction);
    ExpectText("?>");
    source_.CodePage = EncodingToCodePage(instruction->GetAttrText("encoding", std::string()));
    if (DecodeUtf8OnLoad && source_.CodePage == 65001) source_.DecodeUtf8 = true;
}

void XmlParser::ParseComment(TXmlNodeList& list) {
    ExpectText("--");
    Append(list, new TXmlComment(&nameTable_, ReadUntil("-->")));
}

void XmlParser::ParseCDATASection(TXmlNodeList& list) {
    ExpectText("[CDATA[");
    Append(list, new TXmlCDATASection(&nameTable_, ReadUntil("]]>")));
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
    const auto element = Append(list, new TXmlElement(&nameTable_, nameId));
    ReadAttributes(*element);
    if (source_.CurChar == '/') {
        ExpectText("/>");
        return;
    }
    ExpectChar('>');
    ++depth_;
    ParseChildren(*element->GetChildList());
    --depth_;
    ExpectChar('/');
    ExpectText(nameTable_.Names()[static_cast<std::size_t>(nameId)]);
    SkipBlanks();
    ExpectChar('>');
}

void XmlParser::ReadAttributes(TXmlNode& node) {
    // The attributes are collected first and given to the node in one exact-sized
    // array, also when reading fails, so the node keeps those read before.
    attrs_.clear();
    try {
        ReadAttributeList();
    } catch (...) {
        InstallAttrs(node);
        throw;
    }
    InstallAttrs(node);
}

void XmlParser::InstallAttrs(TXmlNode& node) {
    if (attrs_.empty()) return;
    for (const TXmlAttrData& attr : attrs_) attrPositionById_[static_cast<std::size_t>(attr.NameId)] = -1;
    node.ReplaceAttrs(std::vector<TXmlAttrData>(std::make_move_iterator(attrs_.begin()),
                                                std::make_move_iterator(attrs_.end())));
}

void XmlParser::ReadAttributeList() {
    SkipBlanks();
    while (!source_.Eof() && Is(source_.CurChar, NameStart)) {
        // The name is interned once its value has been read; until then a name not
        // met before is kept as a copy (reading the value may move the window).
        const std::string_view name = ReadName();
        std::int32_t nameId = KnownNameId(name);
        const std::string newName = nameId < 0 ? std::string(name) : std::string();
        SkipBlanks();
        ExpectChar('=');
        SkipBlanks();
        if (source_.Eof()) Fail("Attribute value expected");
        if (source_.CurChar != '\'' && source_.CurChar != '"') Fail("String constant expected");
        Platform::Variant value = ParsedValue(ReadQuotedValue(source_.CurChar));
        if (nameId < 0) nameId = InternName(newName);
        // A repeated name replaces the earlier value in its place.
        if (TXmlAttrData* same = ReadAttr(nameId)) {
            same->Value = std::move(value);
        } else {
            attrs_.push_back(TXmlAttrData{nameId, std::move(value)});
            attrPositionById_[static_cast<std::size_t>(nameId)] = static_cast<std::int32_t>(attrs_.size() - 1);
        }
        SkipBlanks();
    }
}

TXmlAttrData* XmlParser::ReadAttr(std::int32_t nameId) {
    const auto index = static_cast<std::size_t>(nameId);
    if (index >= attrPositionById_.size()) attrPositionById_.resize(index + 1, -1);
    const std::int32_t position = attrPositionById_[index];
    return position < 0 ? nullptr : &attrs_[static_cast<std::size_t>(position)];
}

}  // namespace

void TXmlNodeList::ParseChildren(TXmlSource& source, TXmlNameTable& nameTable, bool preserveWhiteSpace) {
    XmlParser(source, nameTable, preserveWhiteSpace).ParseChildren(*this);
}

}  // namespace TolvexXml
