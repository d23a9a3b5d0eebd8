// docs/scenario.md against the rules table: each call's section names the rule's
// elements, and its tables list the rule's attributes in the rule's order, each
// with its type and default in the words the reference uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "docs/SourceFile.h"
#include "host/AnswerRules.h"
#include "support/ScratchDirectory.h"

namespace {

using namespace TolvexTest;
using Tolvex29::AnswerRule;
using Tolvex29::AttributeRule;
using Tolvex29::DefaultKind;
using Tolvex29::ValueKind;

// What a call's section says: the names of its "Elements:" line, the rows of its
// attribute table and of its output child's table, as "name | type | default".
struct CallSection {
    std::vector<std::string> elements;
    std::vector<std::string> attributes;
    std::string outputChild;
    std::vector<std::string> outputAttributes;
};

std::vector<std::string> Backticked(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t open = text.find('`'); open != std::string_view::npos; open = text.find('`', open)) {
        const std::size_t close = text.find('`', open + 1);
        if (close == std::string_view::npos) break;
        words.emplace_back(text.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return words;
}

// The cells of a table row, without their surrounding blanks.
std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::istringstream pieces(row.substr(1));
    for (std::string cell; std::getline(pieces, cell, '|');) {
        const std::size_t first = cell.find_first_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, cell.find_last_not_of(' ') + 1 - first));
    }
    return cells;
}

// The attribute names of a first cell: "`Name` (note)", or a numbered range
// "`Sum2` ... `Sum8`"; none for a row without a name.
std::vector<std::string> NamesIn(const std::string& cell) {
    const std::vector<std::string> words = Backticked(cell);
    if (words.empty()) return {};
    if (words.size() != 2 || cell.find("...") == std::string::npos) return {words[0]};
    const std::size_t digits = words[0].find_last_not_of("0123456789") + 1;
    const std::string stem = words[0].substr(0, digits);
    std::vector<std::string> names;
    for (int number = std::stoi(words[0].substr(digits)); number <= std::stoi(words[1].substr(digits)); ++number)
        names.push_back(stem + std::to_string(number));
    return names;
}

// The sections of docs/scenario.md whose heading names a call, by call name.
std::map<std::string, CallSection> ReadReference() {
    std::map<std::string, CallSection> sections;
    CallSection* section = nullptr;
    std::vector<std::string>* table = nullptr;
    bool inTable = false;
    std::istringstream lines(ReadWholeFile(SourceFile("docs/scenario.md")));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("## ")) {
            const std::vector<std::string> names = Backticked(line);
            section = names.empty() ? nullptr : &sections[names[0]];
        }
        if (!section) continue;
        if (line.starts_with("Elements:")) section->elements = Backticked(line);
        const bool row = line.starts_with("|");
        if (row && !inTable) {
            // The header tells the table: "attribute" or "of `OutputInfo`".
            const std::string header = Cells(line)[0];
            table = header == "attribute" ? &section->attributes : nullptr;
            if (header.starts_with("of ")) {
                section->outputChild = Backticked(header)[0];
                table = &section->outputAttributes;
            }
        } else if (row && table) {
            const std::vector<std::string> cells = Cells(line);
            if (cells[0].starts_with("child "))
                section->outputChild = Backticked(cells[0])[0];
            else if (!cells[0].starts_with("---"))
                for (const std::string& name : NamesIn(cells[0]))
                    table->push_back(name + " | " + cells[1] + " | " + cells[2]);
        }
        inTable = row;
    }
    return sections;
}

std::string TypeWords(const AttributeRule& attribute) {
    switch (attribute.kind) {
        case ValueKind::Integer:
            return attribute.StoredBits() < 64 ? "integer (low " + std::to_string(attribute.StoredBits()) + " bits)"
                                               : "integer";
        case ValueKind::Boolean: return "Boolean";
        case ValueKind::Text: break;
    }
    return attribute.textLimit ? "text, first " + std::to_string(attribute.textLimit) + " characters" : "text";
}

std::string DefaultWords(const AttributeRule& attribute) {
    if (attribute.defaultKind == DefaultKind::CallsOwn) return "the transaction's own";
    if (attribute.defaultKind == DefaultKind::None) return "none";
    if (attribute.kind == ValueKind::Boolean) return attribute.defaultValue ? "true" : "false";
    if (attribute.kind == ValueKind::Text) return "empty";
    if (attribute.defaultValue == std::numeric_limits<std::int64_t>::min()) return "lowest 64-bit value";
    if (attribute.defaultValue == std::numeric_limits<std::int64_t>::max()) return "highest 64-bit value";
    return std::to_string(attribute.defaultValue);
}

std::vector<std::string> Rows(const std::vector<AttributeRule>& attributes) {
    std::vector<std::string> rows;
    for (const AttributeRule& attribute : attributes)
        rows.push_back(std::string(attribute.name) + " | " + TypeWords(attribute) + " | " + DefaultWords(attribute));
    return rows;
}

class ReferenceTablesTest : public ::testing::Test {
protected:
    const CallSection& SectionOf(const AnswerRule& rule) { return sections[rule.callName]; }

    std::map<std::string, CallSection> sections = ReadReference();
};

TEST_F(ReferenceTablesTest, EachCallNamesTheRulesElements) {
    for (const AnswerRule& rule : Tolvex29::AnswerRules()) {
        std::vector<std::string> expected(rule.elementNames.begin(), rule.elementNames.end());
        std::vector<std::string> listed = SectionOf(rule).elements;
        std::sort(expected.begin(), expected.end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, expected) << rule.callName;
    }
}

TEST_F(ReferenceTablesTest, EachCallListsTheRulesAttributesWithTypeAndDefault) {
    for (const AnswerRule& rule : Tolvex29::AnswerRules()) {
        SCOPED_TRACE(rule.callName);
        EXPECT_EQ(SectionOf(rule).attributes, Rows(rule.attributes));
        EXPECT_EQ(SectionOf(rule).outputChild, rule.outputChild ? rule.outputChild : "");
        EXPECT_EQ(SectionOf(rule).outputAttributes, Rows(rule.outputAttributes));
    }
}

}  // namespace
