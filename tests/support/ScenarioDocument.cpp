#include "support/ScenarioDocument.h"

#include <cstdint>
#include <cstdio>

namespace TolvexBench {

namespace {

// A small fixed-seed generator, so that every run sees the same document.
class Random {
public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::uint32_t Below(std::uint32_t bound) { return Next() % bound; }

private:
    std::uint64_t state_ = 0x2545F4914F6CDD1Dull;
};

const char* const answerNames[] = {"GetCardInfoEx", "GetCardInfoL", "TransactionsEx", "GetCardImageEx", "FindEmail"};
const char* const words[] = {"Card",   "holder", "bonus",  "discount", "balance", "Ivanov", "Petrova",
                             "points", "level",  "silver", "gold",     "visit",   "thanks", "receipt"};

std::string Words(Random& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += ' ';
        text += words[random.Below(sizeof words / sizeof *words)];
    }
    return text;
}

void AppendAttribute(std::string& text, const char* name, const std::string& value) {
    text += ' ';
    text += name;
    text += "=\"";
    text += value;
    text += '"';
}

void AppendAnswer(std::string& text, Random& random, int index) {
    char number[64];
    if (index % 4 == 0) text += "  <!-- case " + std::to_string(index) + ": " + Words(random, 4) + " -->\r\n";
    const std::string name = answerNames[random.Below(5)];
    text += "  <" + name;
    std::snprintf(number, sizeof number, "%u%06u", 1000 + random.Below(9000), random.Below(1000000));
    AppendAttribute(text, "CardCode", number);
    AppendAttribute(text, "InpKind", std::to_string(random.Below(4)));
    AppendAttribute(text, "Result", std::to_string(random.Below(3)));
    AppendAttribute(text, "Deleted", random.Below(2) ? "True" : "False");
    AppendAttribute(text, "Expired", random.Below(2) ? "1" : "0");
    AppendAttribute(text, "Blocked", "False");
    AppendAttribute(text, "Holder", Words(random, 2));
    AppendAttribute(text, "Account", std::to_string(random.Below(100000000)));
    AppendAttribute(text, "Summa", std::to_string(random.Below(1000000)));
    AppendAttribute(text, "Discount", std::to_string(random.Below(3000)));
    AppendAttribute(text, "Bonus", std::to_string(random.Below(100000)));
    AppendAttribute(text, "Level", Words(random, 1));
    AppendAttribute(text, "Email", "user" + std::to_string(index) + "@example.org");
    AppendAttribute(text, "Note", Words(random, 3) + " &amp; " + Words(random, 1));
    text += ">\r\n    <OutputInfo OutKind=\"";
    text += std::to_string(random.Below(3));
    text += "\">";
    text += Words(random, 6) + "&#13;&#10;" + Words(random, 5) + " &lt;" + Words(random, 1) + "&gt;";
    text += "</OutputInfo>\r\n    <Screen>";
    text += Words(random, 8);
    text += "</Screen>\r\n  </" + name + ">\r\n";
}

}  // namespace

std::string ScenarioDocument(std::size_t minimumSize) {
    Random random;
    std::string text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Root>\r\n";
    for (int index = 0; text.size() < minimumSize; ++index) AppendAnswer(text, random, index);
    text += "</Root>\r\n";
    return text;
}

}  // namespace TolvexBench
