#include "tools/Snapshot.h"

#include <initializer_list>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "host/AnswerRules.h"
#include "xml/TolvexXml.h"

namespace TolvexHost {

namespace {

using TolvexXml::IXmlElement;

struct QuotedLine {
    std::size_t line;
    const std::string& text;
};

// The lines as a comment's text, each on a line of its own above the answer. A
// comment cannot hold "--" nor control characters: a blank parts the hyphens, and
// a control character shows as '?'.
std::string CommentText(const std::string& logName, std::initializer_list<QuotedLine> lines) {
    std::string text;
    for (const QuotedLine& line : lines) {
        text += "\r\n\t";
        for (const char c : logName + ":" + std::to_string(line.line) + ": " + line.text) {
            if (c == '-' && text.back() == '-') text += ' ';
            text += static_cast<unsigned char>(c) < 0x20 && c != '\t' ? '?' : c;
        }
    }
    return text + " ";
}

// E-mails are found ignoring the case of ASCII letters, so they count as one answer.
std::string EmailKey(std::string email) {
    for (char& c : email) c = Tolvex29::FoldAsciiLetter(c);
    return email;
}

class DraftWriter {
public:
    explicit DraftWriter(const std::string& logName)
        : logName_(logName),
          document_(new TolvexXml::TXmlDocument(TolvexXml::GlobalNameTable())),
          root_(document_->NewDocument("1.0", "windows-1251", "Root")) {}

    void Add(std::size_t line, const LoggedCall& call) {
        std::visit([&](const auto& arguments) { AddAnswer(line, call, arguments); }, call.arguments);
    }

    // The rendering's lines end in CR LF; so does its last one, as in a file an editor saved.
    std::string Xml() const { return document_->GetXML() + "\r\n"; }

private:
    IXmlElement Answer(const char* name, std::initializer_list<QuotedLine> quote) {
        root_->AppendComment(CommentText(logName_, quote));
        return root_->AppendElement(name);
    }

    // First by card code and input kind, so that the first pass of the call finds it.
    void AddAnswer(std::size_t line, const LoggedCall& call, const CardInfoCall& card) {
        const auto [entry, added] = cards_.try_emplace({card.cardCode, card.inpKind});
        IXmlElement& answer = entry->second;
        if (added) {
            answer = Answer("GetCardInfoEx", {{line, call.text}});
            answer->SetAttrInt64("CardCode", card.cardCode);
            answer->SetAttrInt64("InpKind", card.inpKind);
            answer->SetAttrText("Holder", "");
            answer->SetAttrInt64("Account", 0);
            answer->SetAttrInt64("Discount", 0);
            answer->SetAttrInt64("Bonus", 0);
            answer->SetAttrInt64("Summa", 0);
        }
        // The logged answer had an output text: so does the draft, with the logged kind and length.
        if (card.output && !answer->SelectElement("OutputInfo")) {
            const IXmlElement output = answer->AppendElement("OutputInfo");
            output->SetAttrInt64("OutKind", card.output->outKind);
            output->SetAttrInt64("OutLen", card.output->outLen);
        }
    }

    // No OutXML: an empty one would clear the output an earlier match of the batch set.
    void AddAnswer(std::size_t, const LoggedCall&, const TransactionsCall& call) {
        for (const LoggedTransaction& transaction : call.transactions) {
            // The log shows the signed reading of the host's unsigned account.
            const std::uint32_t account = static_cast<std::uint32_t>(transaction.account);
            if (!transactions_.emplace(transaction.cardCode, account, transaction.kind, transaction.summa.hundredths)
                     .second)
                continue;
            const IXmlElement answer = Answer("TransactionsEx", {{transaction.line, transaction.text},
                                                                 {transaction.line + 1, transaction.amountsText}});
            answer->SetAttrInt64("CardCode", transaction.cardCode);
            answer->SetAttrInt64("Account", account);
            answer->SetAttrInt64("Kind", transaction.kind);
            answer->SetAttrInt64("MinSumma", transaction.summa.hundredths);
            answer->SetAttrInt64("MaxSumma", transaction.summa.hundredths);
            answer->SetAttrInt64("Result", 0);
        }
    }

    // Card 0 is answered without the file.
    void AddAnswer(std::size_t line, const LoggedCall& call, const CardImageCall& image) {
        if (image.cardCode == 0 || !images_.insert(image.cardCode).second) return;
        const IXmlElement answer = Answer("GetCardImageEx", {{line, call.text}});
        answer->SetAttrInt64("CardCode", image.cardCode);
        answer->SetAttrText("FileName", "");
    }

    // CardCode must be a number: without one the call fails, which FindEmail turns into 0.
    void AddAnswer(std::size_t line, const LoggedCall& call, const FindEmailCall& email) {
        if (!emails_.insert(EmailKey(email.email)).second) return;
        const IXmlElement answer = Answer("FindEmail", {{line, call.text}});
        answer->SetAttrText("email", email.email);
        answer->SetAttrInt64("Account", 0);
        answer->SetAttrInt64("CardCode", 0);
        answer->SetAttrText("Name", "");
    }

    const std::string& logName_;
    TolvexXml::IXmlDocument document_;
    IXmlElement root_;
    std::map<std::pair<std::int64_t, std::uint16_t>, IXmlElement> cards_;
    std::set<std::tuple<std::int64_t, std::uint32_t, std::uint8_t, std::int64_t>> transactions_;
    std::set<std::int64_t> images_;
    std::set<std::string> emails_;
};

}  // namespace

std::string DraftScenario(const std::vector<LogEntry>& entries, const std::string& logName) {
    DraftWriter writer(logName);
    for (const LogEntry& entry : entries)
        if (entry.call) writer.Add(entry.line, *entry.call);
    return writer.Xml();
}

SnapshotDraft SnapshotScenario(const std::string& logFile) {
    LogReading log = ReadLogFile(logFile);
    return {DraftScenario(log.entries, logFile), std::move(log.errors)};
}

}  // namespace TolvexHost
