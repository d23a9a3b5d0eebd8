#include "tools/ScenarioCheck.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <set>

#include "base/Exception.h"
#include "host/AnswerMatch.h"
#include "host/AnswerRules.h"
#include "tools/ElementPlaces.h"
#include "tools/Json.h"
#include "xml/TolvexXml.h"

namespace TolvexHost {

namespace {

using TolvexXml::TXmlNode;
constexpr std::int64_t Int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t Int64Max = std::numeric_limits<std::int64_t>::max();

using Tolvex29::AnswerCall;
using Tolvex29::AnswerRule;
using Tolvex29::AttributeRole;
using Tolvex29::AttributeRule;
using Tolvex29::ValueKind;

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
                               diagonal + (Tolvex29::FoldAsciiLetter(left[i - 1]) == Tolvex29::FoldAsciiLetter(right[j - 1]) ? 0 : 1)});
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
    Checker(std::vector<Finding>& findings, const ElementPlaces& places) : findings_(findings), places_(places) {}

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
        Finding finding{severity, where_, message};
        if (place_) {
            finding.line = place_->line;
            finding.column = place_->column;
        }
        findings_.push_back(std::move(finding));
    }

    void CheckAnswer(TXmlNode& element, std::size_t position) {
        const std::string name = element.GetNodeName();
        where_ = "element " + std::to_string(position) + " <" + name + ">";
        place_ = places_.Of(position);
        const AnswerRule* rule = Tolvex29::RuleForElement(name);
        if (!rule) {
            std::vector<std::string> known;
            for (const AnswerRule& candidate : Tolvex29::AnswerRules())
                known.insert(known.end(), candidate.elementNames.begin(), candidate.elementNames.end());
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
        if (rule->call == AnswerCall::Email && !element.AttrExists("CardCode"))
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
        const Tolvex29::RuleAttr value(rule);
        try {
            if (rule.kind == ValueKind::Boolean) {
                value.Bool(element, nullptr);
            } else if (rule.kind == ValueKind::Text) {
                const std::string text = value.Text(element, nullptr);
                if (rule.field.name && text.size() > rule.textLimit)
                    Report(Finding::Warning, std::string(rule.name) + " has " + std::to_string(text.size()) +
                                                 " characters; the record keeps the first " +
                                                 std::to_string(rule.textLimit));
                if (keys && std::string(rule.name) == "email") keys->email = text;
            } else {
                CheckInteger(rule, value.Int64(element, nullptr), keys);
            }
        } catch (const std::exception& error) {
            if (keys && rule.role == AttributeRole::Key) keys->readable = false;
            // FindEmail catches its failures: the host sees result 0 and a half-written record.
            Report(Finding::Error, attribute + (currentCall_ == AnswerCall::Email ? " ends FindEmail with result 0: "
                                                                               : " fails the call: ") +
                                       FailureText(error));
        }
    }

    void CheckInteger(const AttributeRule& rule, std::int64_t value, Keys* keys) {
        const std::string name = rule.name;
        const int bits = rule.StoredBits();
        if (bits < 64) {
            const std::int64_t low = -(std::int64_t{1} << (bits - 1));
            const std::int64_t high = (std::int64_t{1} << bits) - 1;
            if (value < low || value > high)
                Report(Finding::Warning, name + " " + std::to_string(value) + " is beyond " + std::to_string(bits) +
                                             " bits; only its low " + std::to_string(bits) + " bits are used");
        }
        if (value < rule.matchLow || value > rule.matchHigh)
            Report(Finding::Warning, name + " " + std::to_string(value) + " never matches: the host's value is " +
                                         std::to_string(rule.matchLow) + ".." + std::to_string(rule.matchHigh));
        if (!keys || rule.role != AttributeRole::Key) return;
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

    void CheckReachable(AnswerCall call, const Keys& keys) {
        std::vector<Keys>& earlier = answers_[static_cast<int>(call)];
        switch (call) {
        case AnswerCall::CardInfo: {
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
        case AnswerCall::Transactions: {
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
        case AnswerCall::CardImage: {
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
        case AnswerCall::Email:
            for (const Keys& other : earlier)
                if (Tolvex29::EqualIgnoringAsciiCase(other.email, keys.email)) {
                    ShadowedBy(other);
                    break;
                }
            break;
        }
        earlier.push_back(keys);
    }

    std::vector<Finding>& findings_;
    const ElementPlaces& places_;
    std::set<std::string> documentNames_;
    std::string where_;
    const TextPlace* place_ = nullptr;
    AnswerCall currentCall_ = AnswerCall::CardInfo;
    std::vector<Keys> answers_[4];
};

}  // namespace

std::vector<Finding> CheckScenario(const std::string& fileName) {
    std::vector<Finding> findings;
    // Loaded as LoadXmlFile loads it for the exports, into a document kept to ask
    // where parsing stopped.
    const TolvexXml::IXmlDocument document(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable()));
    std::string text;  // the file's bytes, for places
    if (std::ifstream file{fileName, std::ios::binary}) text.assign(std::istreambuf_iterator<char>(file), {});
    try {
        document->LoadFromFile(fileName);
        const TolvexXml::IXmlNode root = document->NeedChild("Root");
        Checker(findings, ElementPlaces(text)).CheckRoot(*root);
    } catch (const std::exception& error) {
        findings.push_back({Finding::Error, "", "every call fails: " + FailureText(error)});
        if (document->GetParseErrorOffset() >= 0) {
            const TextPlace place = PlaceOfOffset(text, static_cast<std::size_t>(document->GetParseErrorOffset()));
            findings.back().line = place.line;
            findings.back().column = place.column;
        }
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
