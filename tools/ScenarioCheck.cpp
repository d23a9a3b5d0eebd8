#include "tools/ScenarioCheck.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <set>

#include "platform/Exception.h"
#include "tools/Json.h"
#include "xml/TolvexXml.h"

namespace TolvexHost {

namespace {

using TolvexXml::TXmlNode;
constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();

enum class ValueType { Integer, Boolean, Text };

struct AttributeRule {
    const char* name;
    ValueType type;
    std::size_t textLimit = 0;  // Text: characters the record keeps; 0 = no field
    int storedBits = 0;         // Integer: width of the record's field; 0 = 64 bits or compared only
    std::int64_t matchLow = Int64Min, matchHigh = Int64Max;  // Integer: values the host's side can have
};

AttributeRule Integer(const char* name, int storedBits = 0) { return {name, ValueType::Integer, 0, storedBits}; }
AttributeRule Compared(const char* name, std::int64_t low, std::int64_t high) {
    return {name, ValueType::Integer, 0, 0, low, high};
}
AttributeRule Boolean(const char* name) { return {name, ValueType::Boolean}; }
AttributeRule Text(const char* name, std::size_t limit = 0) { return {name, ValueType::Text, limit}; }

enum class Export { CardInfo, Transactions, CardImage, Email };

struct ElementRule {
    Export call;
    std::vector<const char*> names;
    std::vector<AttributeRule> attributes;
    const char* outputChild;  // the child element that carries the output text, or null
    std::vector<AttributeRule> outputAttributes;
};

const std::vector<ElementRule>& ElementRules() {
    static const std::vector<ElementRule> rules = {
        {Export::CardInfo,
         {"GetCardInfoEx", "GetCardInfoL"},
         {Integer("CardCode"), Compared("InpKind", 0, 0xFFFF), Integer("Account", 32), Boolean("Deleted"),
          Integer("Discount", 16), Integer("Bonus", 16), Integer("Summa"), Integer("DiscLimit"), Text("Holder", 40),
          Integer("Sum2"), Integer("Sum3"), Integer("Sum4"), Integer("Sum5"), Integer("Sum6"), Integer("Sum7"),
          Integer("Sum8"), Integer("Unpay", 32), Boolean("Seize"), Boolean("Locked"), Text("WhyLock", 255),
          Text("DopInfo", 255), Text("ScrMessage", 255), Text("PrnMessage", 255)},
         "OutputInfo",
         {Integer("OutKind", 16), Integer("OutLen")}},
        {Export::Transactions,
         {"TransactionsEx"},
         {Compared("Account", 0, 0xFFFFFFFF), Integer("CardCode"), Compared("Kind", 0, 0xFF), Integer("MinSumma"),
          Integer("MaxSumma"), Integer("Result", 32)},
         "OutXML",
         {}},
        {Export::CardImage, {"GetCardImageEx", "GetCardImageL"}, {Integer("CardCode"), Text("FileName", 255)}, nullptr, {}},
        {Export::Email,
         {"FindEmail"},
         {Text("email"), Integer("Account", 32), Integer("CardCode"), Text("Name", 40)},
         nullptr,
         {}},
    };
    return rules;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringAsciiCase(const std::string& left, const std::string& right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

// Edit distance, ASCII case ignored: the closest known name to a misspelt one.
std::size_t Distance(const std::string& left, const std::string& right) {
    std::vector<std::size_t> row(right.size() + 1);
    for (std::size_t j = 0; j <= right.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= left.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= right.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                               diagonal + (FoldAscii(left[i - 1]) == FoldAscii(right[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[right.size()];
}

std::string Closest(const std::string& name, const std::vector<std::string>& known) {
    return *std::min_element(known.begin(), known.end(), [&](const std::string& a, const std::string& b) {
        return Distance(name, a) < Distance(name, b);
    });
}

std::string FailureText(const std::exception& error) {
    const auto* failure = dynamic_cast<const Platform::Exception*>(&error);
    return std::string(failure ? failure->ClassName() : "exception") + ": " + error.what();
}

std::string SwapFirstLetterCase(std::string name) {
    if (!name.empty() && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z'))) name[0] ^= 0x20;
    return name;
}

// Every element and attribute name that occurs in the document.
void CollectNames(TXmlNode& node, std::set<std::string>& names) {
    if (node.GetNodeType() != TolvexXml::ELEMENT_NODE) return;
    names.insert(node.GetNodeName());
    for (std::int32_t i = 0; i < node.GetAttrCount(); ++i) names.insert(node.GetAttrName(i));
    const TolvexXml::IXmlNodeList children = node.GetChildNodes();
    for (std::int32_t i = 0; i < children->GetCount(); ++i) CollectNames(*children->GetItem(i), names);
}

// The keys of one answer that decide which calls it can answer.
struct Keys {
    std::size_t element = 0;  // position under Root, from 1
    std::optional<std::int64_t> cardCode, inpKind, account, kind;
    std::int64_t minSumma = Int64Min, maxSumma = Int64Max;
    std::string email;
    bool readable = true;  // false when a key could not be read
};

class Checker {
public:
    explicit Checker(std::vector<Finding>& findings) : findings_(findings) {}

    void CheckRoot(TXmlNode& root) {
        CollectNames(root, documentNames_);
        const TolvexXml::IXmlNodeList children = root.GetChildNodes();
        std::size_t position = 0;
        for (std::int32_t i = 0; i < children->GetCount(); ++i) {
            TolvexXml::IXmlNode child = children->GetItem(i);
            if (child->GetNodeType() != TolvexXml::ELEMENT_NODE) continue;
            ++position;
            CheckAnswer(*child, position);
        }
    }

private:
    void Report(Finding::Severity severity, const std::string& message) {
        findings_.push_back({severity, where_, message});
    }

    void CheckAnswer(TXmlNode& element, std::size_t position) {
        const std::string name = element.GetNodeName();
        where_ = "element " + std::to_string(position) + " <" + name + ">";
        const ElementRule* rule = nullptr;
        for (const ElementRule& candidate : ElementRules())
            for (const char* known : candidate.names)
                if (EqualIgnoringAsciiCase(name, known)) rule = &candidate;
        if (!rule) {
            std::vector<std::string> known;
            for (const ElementRule& candidate : ElementRules()) known.insert(known.end(), candidate.names.begin(), candidate.names.end());
            Report(Finding::Warning, "unknown element, no call reads it (closest: " + Closest(name, known) + ")");
            return;
        }
        currentCall_ = rule->call;
        Keys keys;
        keys.element = position;
        CheckAttributes(element, rule->attributes, &keys);
        if (rule->outputChild) {
            const TolvexXml::IXmlNode output = element.SelectElement(rule->outputChild);
            if (output) {
                const std::string answer = where_;
                where_ += " <" + output->GetNodeName() + ">";
                CheckAttributes(*output, rule->outputAttributes, nullptr);
                where_ = answer;
            }
        }
        if (rule->call == Export::Email && !element.AttrExists("CardCode"))
            Report(Finding::Warning, "no CardCode: FindEmail returns 0 with only Account written");
        if (keys.readable) CheckReachable(rule->call, keys);
    }

    void CheckAttributes(TXmlNode& element, const std::vector<AttributeRule>& rules, Keys* keys) {
        std::vector<std::string> known;
        for (const AttributeRule& rule : rules) known.push_back(rule.name);
        for (std::int32_t i = 0; i < element.GetAttrCount(); ++i) CheckAttributeName(element.GetAttrName(i), known);
        for (const AttributeRule& rule : rules)
            if (element.AttrExists(rule.name)) CheckValue(element, rule, keys);
    }

    // A name is read when it is a known one, or differs from one only in the case
    // of its first letter while the known spelling occurs nowhere in the file.
    void CheckAttributeName(const std::string& name, const std::vector<std::string>& known) {
        if (std::find(known.begin(), known.end(), name) != known.end()) return;
        const std::string swapped = SwapFirstLetterCase(name);
        if (std::find(known.begin(), known.end(), swapped) != known.end()) {
            if (documentNames_.count(swapped))
                Report(Finding::Warning, "attribute " + name + " is not read: " + swapped +
                                             " occurs elsewhere in the file, so the calls look for " + swapped +
                                             " exactly");
            return;
        }
        Report(Finding::Warning, "unknown attribute " + name +
                                     (known.empty() ? std::string(" (none of its attributes is read)")
                                                   : std::string(" (closest: ") + Closest(name, known) + ")"));
    }

    void CheckValue(TXmlNode& element, const AttributeRule& rule, Keys* keys) {
        const std::string attribute = std::string(rule.name) + "=\"" + element.GetAttrText(rule.name, "") + "\"";
        try {
            if (rule.type == ValueType::Boolean) {
                element.GetAttrBool(rule.name, false);
            } else if (rule.type == ValueType::Text) {
                const std::string text = element.GetAttrText(rule.name, "");
                if (rule.textLimit != 0 && text.size() > rule.textLimit)
                    Report(Finding::Warning, std::string(rule.name) + " has " + std::to_string(text.size()) +
                                                 " characters; the record keeps the first " +
                                                 std::to_string(rule.textLimit));
                if (keys && std::string(rule.name) == "email") keys->email = text;
            } else {
                CheckInteger(rule, element.GetAttrInt64(rule.name, 0), keys);
            }
        } catch (const std::exception& error) {
            if (keys && IsKey(rule.name)) keys->readable = false;
            // FindEmail catches its failures: the host sees result 0 and a half-written record.
            Report(Finding::Error, attribute + (currentCall_ == Export::Email ? " ends FindEmail with result 0: "
                                                                               : " fails the call: ") +
                                       FailureText(error));
        }
    }

    // The attributes that decide which calls an answer can take.
    bool IsKey(const std::string& name) const {
        return name == "CardCode" || name == "InpKind" || name == "Kind" || name == "MinSumma" ||
               name == "MaxSumma" || name == "email" || (name == "Account" && currentCall_ == Export::Transactions);
    }

    void CheckInteger(const AttributeRule& rule, std::int64_t value, Keys* keys) {
        const std::string name = rule.name;
        if (rule.storedBits != 0) {
            const std::int64_t low = -(std::int64_t{1} << (rule.storedBits - 1));
            const std::int64_t high = (std::int64_t{1} << rule.storedBits) - 1;
            if (value < low || value > high)
                Report(Finding::Warning, name + " " + std::to_string(value) + " is beyond " +
                                             std::to_string(rule.storedBits) + " bits; only its low " +
                                             std::to_string(rule.storedBits) + " bits are used");
        }
        if (value < rule.matchLow || value > rule.matchHigh)
            Report(Finding::Warning, name + " " + std::to_string(value) + " never matches: the host's value is " +
                                         std::to_string(rule.matchLow) + ".." + std::to_string(rule.matchHigh));
        if (!keys) return;
        if (name == "CardCode") keys->cardCode = value;
        if (name == "InpKind") keys->inpKind = value;
        if (name == "Account") keys->account = value;
        if (name == "Kind") keys->kind = value;
        if (name == "MinSumma") keys->minSumma = value;
        if (name == "MaxSumma") keys->maxSumma = value;
    }

    void Unreachable(const std::string& why) { Report(Finding::Warning, "unreachable: " + why); }

    void ShadowedBy(const Keys& earlier) {
        Unreachable("element " + std::to_string(earlier.element) + " answers every call this one could");
    }

    void CheckReachable(Export call, const Keys& keys) {
        std::vector<Keys>& earlier = answers_[static_cast<int>(call)];
        switch (call) {
        case Export::CardInfo: {
            // Reached in the first pass by its own input kind, or in the second as
            // the first answer for its card.
            const std::int64_t card = keys.cardCode.value_or(0), kind = keys.inpKind.value_or(0);
            const Keys* sameCard = nullptr;
            const Keys* sameKeys = nullptr;
            for (const Keys& other : earlier) {
                if (other.cardCode.value_or(0) != card) continue;
                if (!sameCard) sameCard = &other;
                if (!sameKeys && other.inpKind.value_or(0) == kind) sameKeys = &other;
            }
            const bool kindCanMatch = kind >= 0 && kind <= 0xFFFF;
            if (sameCard && (sameKeys || !kindCanMatch)) ShadowedBy(sameKeys ? *sameKeys : *sameCard);
            break;
        }
        case Export::Transactions: {
            if (keys.minSumma > keys.maxSumma) {
                Unreachable("MinSumma is above MaxSumma");
                break;
            }
            const auto covers = [](const std::optional<std::int64_t>& wider, const std::optional<std::int64_t>& narrower) {
                return !wider || wider == narrower;
            };
            for (const Keys& other : earlier)
                if (other.minSumma <= other.maxSumma && covers(other.account, keys.account) &&
                    covers(other.cardCode, keys.cardCode) && covers(other.kind, keys.kind) &&
                    other.minSumma <= keys.minSumma && other.maxSumma >= keys.maxSumma) {
                    ShadowedBy(other);
                    break;
                }
            break;
        }
        case Export::CardImage: {
            if (keys.cardCode.value_or(0) == 0) {
                Unreachable("card 0 is answered without reading the file");
                break;
            }
            for (const Keys& other : earlier)
                if (other.cardCode == keys.cardCode) {
                    ShadowedBy(other);
                    break;
                }
            break;
        }
        case Export::Email:
            for (const Keys& other : earlier)
                if (EqualIgnoringAsciiCase(other.email, keys.email)) {
                    ShadowedBy(other);
                    break;
                }
            break;
        }
        earlier.push_back(keys);
    }

    std::vector<Finding>& findings_;
    std::set<std::string> documentNames_;
    std::string where_;
    Export currentCall_ = Export::CardInfo;
    std::vector<Keys> answers_[4];
};

// Places the finding at the line and byte column of the file's offset: lines end
// at LF (CR LF counts once, its CR being the last byte of the line).
void PlaceAtOffset(Finding& finding, const std::string& fileName, std::int64_t offset) {
    std::ifstream file(fileName, std::ios::binary);
    std::string head(static_cast<std::size_t>(offset), '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    const std::size_t lineStart = head.rfind('\n') + 1;  // 0 on the first line
    finding.line = 1 + std::count(head.begin(), head.end(), '\n');
    finding.column = static_cast<std::int64_t>(head.size() - lineStart) + 1;
}

}  // namespace

std::vector<Finding> CheckScenario(const std::string& fileName) {
    std::vector<Finding> findings;
    // Loaded as LoadXmlFile loads it for the exports, into a document kept to ask
    // where parsing stopped.
    const TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    try {
        document->LoadFromFile(fileName);
        const TolvexXml::IXmlNode root = document->NeedChild("Root");
        Checker(findings).CheckRoot(*root);
    } catch (const std::exception& error) {
        findings.push_back({Finding::Error, "", "every call fails: " + FailureText(error)});
        if (document->GetParseErrorOffset() >= 0)
            PlaceAtOffset(findings.back(), fileName, document->GetParseErrorOffset());
    }
    return findings;
}

bool HasErrors(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Finding::Error; });
}

std::string FindingsText(const std::string& fileName, const std::vector<Finding>& findings) {
    std::string text;
    std::size_t errors = 0;
    for (const Finding& finding : findings) {
        errors += finding.severity == Finding::Error;
        const std::string place = finding.line == 0 ? std::string()
                                                    : std::string(":") + std::to_string(finding.line) + ":" +
                                                          std::to_string(finding.column);
        text += fileName + place + ": " + (finding.severity == Finding::Error ? "error: " : "warning: ") +
                (finding.where.empty() ? "" : finding.where + ": ") + finding.message + "\n";
    }
    return text + fileName + ": " + std::to_string(errors) + " error(s), " +
           std::to_string(findings.size() - errors) + " warning(s)\n";
}

std::string FindingsJson(const std::string& fileName, const std::vector<Finding>& findings) {
    std::string list = "[";
    for (const Finding& finding : findings) {
        if (list.size() > 1) list += ",";
        JsonObject item;
        item.AddText("severity", finding.severity == Finding::Error ? "error" : "warning")
            .AddText("where", finding.where)
            .AddText("message", finding.message);
        if (finding.line != 0)
            item.Add("line", std::to_string(finding.line)).Add("column", std::to_string(finding.column));
        list += item.Text();
    }
    return JsonObject().AddText("file", fileName).Add("findings", list + "]").Text();
}

}  // namespace TolvexHost
