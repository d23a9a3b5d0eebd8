// docs/scenario.xsd as xmllint applies it, judged against the library: scenario
// files that the library reads validate, and an attribute's text is valid
// exactly when the library reads it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "docs/SourceFile.h"
#include "host/AnswerRules.h"
#include "support/ScratchDirectory.h"
#include "xml/TolvexXml.h"
#include "xml/XmlLoad.h"

namespace {

using namespace TolvexTest;
using Tolvex29::AnswerRule;
using Tolvex29::AttributeRule;
using Tolvex29::ValueKind;

// xmllint's verdicts on files, read from its report: "NAME validates" or
// "NAME fails to validate", after the messages on that file ("NAME:LINE: ...").
class SchemaVerdicts {
public:
    explicit SchemaVerdicts(const std::vector<std::string>& files) : files_(files.size()) {
        std::string command = "xmllint --noout --schema '" + SourceFile("docs/scenario.xsd").string() + "'";
        for (const std::string& file : files) command += " '" + file + "'";
        status_ = std::system((command + " 2>xmllint.txt").c_str());
        report_ = ReadWholeFile("xmllint.txt");
        std::istringstream lines(report_);
        for (std::string line; std::getline(lines, line);) {
            if (Take(line, " validates")) valid_[line] = true;
            if (Take(line, " fails to validate")) valid_[line] = false;
        }
    }

    // Whether xmllint judged every file; its exit status and report when not.
    ::testing::AssertionResult JudgedAll() const {
        if (valid_.size() == files_) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "xmllint (libxml2-utils) judged " << valid_.size() << " of " << files_
                                             << " files, exit status " << WEXITSTATUS(status_) << ":\n" << report_;
    }
    // True when the file validates; none when xmllint gave no verdict on it.
    std::optional<bool> Valid(const std::string& file) const {
        const auto found = valid_.find(file);
        return found == valid_.end() ? std::nullopt : std::optional<bool>(found->second);
    }
    // xmllint's messages on the file.
    std::string MessagesOn(const std::string& file) const {
        std::string messages;
        std::istringstream lines(report_);
        for (std::string line; std::getline(lines, line);)
            if (line.starts_with(file + ":")) messages += line + "\n";
        return messages;
    }

private:
    // Removes the ending from the line when the line has it.
    static bool Take(std::string& line, std::string_view ending) {
        if (!line.ends_with(ending)) return false;
        line.resize(line.size() - ending.size());
        return true;
    }

    std::size_t files_;
    int status_ = 0;
    std::string report_;
    std::map<std::string, bool> valid_;
};

// Reads the node's integer and Boolean attributes of the rules; a malformed value throws.
void ReadValues(TolvexXml::TXmlNode& node, const std::vector<AttributeRule>& attributes) {
    for (const AttributeRule& attribute : attributes) {
        if (attribute.kind == ValueKind::Integer) node.GetAttrInt64(attribute.name, 0);
        if (attribute.kind == ValueKind::Boolean) node.GetAttrBool(attribute.name, false);
    }
}

// The library's verdict: every typed attribute of every answer under Root, and of
// the answer's output child, reads as the calls read it.
bool LibraryReadsAnswers(const std::string& file) {
    try {
        const TolvexXml::IXmlDocument document = TolvexXml::LoadXmlFile(file);
        const TolvexXml::IXmlNodeList answers = document->NeedChild("Root")->GetChildNodes();
        for (std::int32_t index = 0; index < answers->GetCount(); ++index) {
            const TolvexXml::IXmlNode answer = answers->GetItem(index);
            if (answer->GetNodeType() != TolvexXml::ELEMENT_NODE) continue;
            const AnswerRule* rule = Tolvex29::RuleForElement(answer->GetNodeName());
            if (!rule) continue;
            ReadValues(*answer, rule->attributes);
            if (rule->outputChild)
                if (const TolvexXml::IXmlNode output = answer->SelectElement(rule->outputChild))
                    ReadValues(*output, rule->outputAttributes);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The text as a quoted attribute value; control characters as references, so
// that no parser normalizes them.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '&') quoted += "&amp;";
        else if (c == '<') quoted += "&lt;";
        else if (c == '"') quoted += "&quot;";
        else if (static_cast<unsigned char>(c) < 0x20) quoted += "&#" + std::to_string(c) + ";";
        else quoted += c;
    }
    return quoted + "\"";
}

void WriteAnswers(const std::string& file, const std::string& answers) {
    WriteWholeFile(file, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Root>\n" + answers + "\n</Root>\n");
}

// Whole files that work with the library, in the forms the tests and testers use.
struct ScenarioCase {
    const char* file;
    const char* text;
};

const ScenarioCase WorkingScenarios[] = {
    {"empty.xml", "<Root/>"},
    {"lower-case-root.xml", R"(<root><GetCardInfoEx CardCode="1"/></root>)"},
    {"answer-names-in-any-case.xml",
     R"(<Root><getcardinfoex CardCode="1" Holder="small letters"/><GETCARDINFOL CardCode="2"/>
        <transactionsex Result="2"/><getCardImageL CardCode="3"/><findemail email="a@b" CardCode="1"/></Root>)"},
    {"unknown-elements-and-attributes.xml",
     R"(<Root Version="2"><Settings><Shop Name="A"/></Settings><GetCardInfo CardCode="x"/>
        <GetCardInfoEx CardCode="7" Colour="red" cardcode="x"><Note Kind="any">text</Note>
          <OutputInfo OutKind="1" Style="bold">out<GetCardInfoEx CardCode="x"/></OutputInfo></GetCardInfoEx>
        <TransactionsEx MaxSuma="5"><OutXML Result="x">text<Deep Kind="x"/></OutXML></TransactionsEx></Root>)"},
    {"first-letter-tolerant-attributes.xml",
     R"(<Root><GetCardInfoEx cardCode="4" holder="tolerant" deleted="true"/></Root>)"},
    {"comments-text-and-instructions.xml",
     "<?xml version=\"1.0\"?>\n<!-- before -->\n<Root>\n  text <!-- note --> <?editor fold?>\n"
     "  <GetCardInfoEx CardCode=\"1\"><!-- inside --><OutputInfo OutKind=\"3\"><![CDATA[a<b]]> and more"
     "</OutputInfo></GetCardInfoEx>\n</Root>\n<!-- after -->\n"},
    {"every-value-form.xml",
     R"(<Root><GetCardInfoEx CardCode="-9" InpKind=" 7" Account="4294967297" Deleted="True" Discount="65536"
          Bonus="$FFFF" Summa="0x7FFFFFFFFFFFFFFF" DiscLimit="-9223372036854775808" Sum2="+1" Sum3="x10"
          Sum4="0X1f" Sum5="$FFFFFFFFFFFFFFFF" Sum6="-$1" Sum7="007" Sum8="9223372036854775807" Unpay="1"
          Seize=" #TRUE# " Locked="0"/>
        <TransactionsEx Account="4294967295" Kind="2" MinSumma="-50" MaxSumma="9223372036854775807"
          Result="4294967296"/>
        <FindEmail email="a@b" Account="4294967298" CardCode="$FF" Name="n"/></Root>)"},
    {"windows-1251-text.xml",
     "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Root><GetCardImageEx CardCode=\"5\" "
     "FileName=\"a&quot;b\\c&#9;\xC0\"/><GetCardInfoEx CardCode=\"1\" Holder=\"\xCF\xE5\xF2\xF0\"/></Root>"},
    {"utf-8-text.xml",
     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Root><GetCardInfoEx CardCode=\"1\" "
     "Holder=\"\xD0\x9F\xD1\x91\xD1\x82\xD1\x80\"/></Root>"},
    {"schema-reference.xml",
     R"(<Root xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="scenario.xsd">
        <GetCardInfoEx CardCode="1"/></Root>)"},
};

TEST(SchemaValidationTest, FilesThatWorkWithTheLibraryValidate) {
    ScratchDirectory directory;
    std::vector<std::string> files{SourceFile("examples/in.xml").string()};
    for (const ScenarioCase& scenario : WorkingScenarios) {
        WriteWholeFile(scenario.file, scenario.text);
        files.push_back(scenario.file);
    }
    const SchemaVerdicts verdicts(files);
    ASSERT_TRUE(verdicts.JudgedAll());
    for (const std::string& file : files) {
        EXPECT_TRUE(LibraryReadsAnswers(file)) << file;
        EXPECT_EQ(verdicts.Valid(file), true) << file << "\n" << verdicts.MessagesOn(file);
    }
}

// How the schema and the library judge a text.
enum class Judged {
    Valid,       // both accept it
    Invalid,     // both reject it
    SchemaOnly,  // the schema accepts it; the library's verdict turns on what no
                 // pattern can follow (the decimal separator of the regional
                 // settings, the range of a double)
};

struct ValueCase {
    const char* text;
    Judged judged;
};

const ValueCase IntegerTexts[] = {
    {"0", Judged::Valid}, {"1234", Judged::Valid}, {"-5", Judged::Valid}, {"+5", Judged::Valid},
    {"   -5", Judged::Valid}, {"007", Judged::Valid}, {"-0", Judged::Valid},
    {"999999999999999999", Judged::Valid}, {"1999999999999999999", Judged::Valid},
    {"9199999999999999999", Judged::Valid}, {"9223372036854775709", Judged::Valid},
    {"9223372036854775799", Judged::Valid}, {"9223372036854775806", Judged::Valid},
    {"9223372036854775807", Judged::Valid}, {"+9223372036854775807", Judged::Valid},
    {"0009223372036854775807", Judged::Valid}, {"-9223372036854775807", Judged::Valid},
    {"-9223372036854775808", Judged::Valid}, {"-0009223372036854775808", Judged::Valid},
    {"$FF", Judged::Valid}, {"$ff", Judged::Valid}, {"x1F", Judged::Valid}, {"X1f", Judged::Valid},
    {"0x1F", Judged::Valid}, {"0X1F", Judged::Valid}, {"-$10", Judged::Valid}, {"+0x10", Judged::Valid},
    {" $7", Judged::Valid}, {"$FFFFFFFFFFFFFFFF", Judged::Valid}, {"0x8000000000000000", Judged::Valid},
    {"$00000000000000000001", Judged::Valid}, {"-$FFFFFFFFFFFFFFFF", Judged::Valid},

    {"", Judged::Invalid}, {" ", Judged::Invalid}, {"5 ", Judged::Invalid}, {"\t5", Judged::Invalid},
    {"5\t", Judged::Invalid}, {"\n5", Judged::Invalid}, {"- 5", Judged::Invalid}, {"+-5", Judged::Invalid},
    {"--5", Judged::Invalid}, {"12a", Judged::Invalid}, {"1O", Judged::Invalid}, {"1.5", Judged::Invalid},
    {"1e3", Judged::Invalid}, {"1,000", Judged::Invalid}, {"$", Judged::Invalid}, {"x", Judged::Invalid},
    {"0x", Judged::Invalid}, {"00x5", Judged::Invalid}, {"$-5", Judged::Invalid}, {"0x-5", Judged::Invalid},
    {"$ FF", Judged::Invalid}, {"0x1G", Judged::Invalid}, {"#FF", Judged::Invalid}, {"&H1F", Judged::Invalid},
    {"$1FFFFFFFFFFFFFFFF", Judged::Invalid}, {"$10000000000000000", Judged::Invalid},
    {"9223372036854775808", Judged::Invalid}, {"+9223372036854775808", Judged::Invalid},
    {"9223372036854775810", Judged::Invalid}, {"9223372036854776000", Judged::Invalid},
    {"9300000000000000000", Judged::Invalid}, {"10000000000000000000", Judged::Invalid},
    {"-9223372036854775809", Judged::Invalid}, {"-9223372036854775810", Judged::Invalid},
    {"99999999999999999999", Judged::Invalid}, {"true", Judged::Invalid},
};

const ValueCase BooleanTexts[] = {
    {"True", Judged::Valid}, {"true", Judged::Valid}, {"TRUE", Judged::Valid}, {"tRuE", Judged::Valid},
    {"False", Judged::Valid}, {"false", Judged::Valid}, {"#TRUE#", Judged::Valid}, {"#false#", Judged::Valid},
    {"#True#", Judged::Valid}, {" true ", Judged::Valid}, {"  False", Judged::Valid}, {"#FALSE#  ", Judged::Valid},
    {"0", Judged::Valid}, {"1", Judged::Valid}, {"-1", Judged::Valid}, {"+2", Judged::Valid},
    {"007", Judged::Valid}, {"  1  ", Judged::Valid}, {"1e3", Judged::Valid}, {"1E-3", Judged::Valid},
    {"+1e+3", Judged::Valid}, {"1e-400", Judged::Valid}, {"123456789012345678901234567890", Judged::Valid},

    {"", Judged::Invalid}, {" ", Judged::Invalid}, {"yes", Judged::Invalid}, {"no", Judged::Invalid},
    {"T", Judged::Invalid}, {"on", Judged::Invalid}, {"Truex", Judged::Invalid}, {"Tru e", Judged::Invalid},
    {"# TRUE#", Judged::Invalid}, {"#TRUE", Judged::Invalid}, {"TRUE#", Judged::Invalid},
    {"\tTrue", Judged::Invalid}, {"True\t", Judged::Invalid}, {"1e", Judged::Invalid}, {"e5", Judged::Invalid},
    {".", Judged::Invalid}, {",", Judged::Invalid}, {"+", Judged::Invalid}, {"- 1", Judged::Invalid},
    {"1 2", Judged::Invalid}, {"0x1", Judged::Invalid}, {"$1", Judged::Invalid}, {"1e+", Judged::Invalid},
    {"1.2.3", Judged::Invalid}, {"inf", Judged::Invalid},

    {"0.5", Judged::SchemaOnly}, {"0,5", Judged::SchemaOnly}, {".5", Judged::SchemaOnly},
    {"5.", Judged::SchemaOnly}, {"-1,5e3", Judged::SchemaOnly}, {"1e400", Judged::SchemaOnly},
};

TEST(SchemaValidationTest, AttributeTextIsValidExactlyWhenTheLibraryReadsIt) {
    ScratchDirectory directory;
    struct Written {
        const ValueCase& value;
        std::string file;
    };
    std::vector<Written> written;
    const auto write = [&](const ValueCase& value, const char* kind, const char* attribute) {
        const std::string file = kind + std::to_string(written.size()) + ".xml";
        WriteAnswers(file, std::string("<GetCardInfoEx CardCode=\"1\" ") + attribute + "=" + Quoted(value.text) + "/>");
        written.push_back({value, file});
    };
    for (const ValueCase& value : IntegerTexts) write(value, "integer", "Discount");
    for (const ValueCase& value : BooleanTexts) write(value, "boolean", "Deleted");
    std::vector<std::string> files;
    for (const Written& entry : written) files.push_back(entry.file);

    const SchemaVerdicts verdicts(files);
    ASSERT_TRUE(verdicts.JudgedAll());
    for (const Written& entry : written) {
        SCOPED_TRACE(entry.file + ": \"" + entry.value.text + "\"");
        if (entry.value.judged == Judged::SchemaOnly) {
            EXPECT_EQ(verdicts.Valid(entry.file), true) << verdicts.MessagesOn(entry.file);
            continue;
        }
        const bool library = LibraryReadsAnswers(entry.file);
        EXPECT_EQ(library, entry.value.judged == Judged::Valid);
        EXPECT_EQ(verdicts.Valid(entry.file), library) << verdicts.MessagesOn(entry.file);
    }
}

// A text of the kind, well formed or mistyped.
const char* Sample(ValueKind kind, bool wellFormed) {
    if (kind == ValueKind::Integer) return wellFormed ? "12" : "1O";
    return wellFormed ? "true" : "yes";
}

TEST(SchemaValidationTest, EveryTypedAttributeOfTheRulesIsChecked) {
    ScratchDirectory directory;
    struct Written {
        std::string file;
        bool wellFormed;
    };
    std::vector<Written> written;
    // The answer element `open` + the attribute + `close`, once well formed and once mistyped.
    const auto write = [&](const std::string& open, const AttributeRule& attribute, const std::string& close) {
        if (attribute.kind == ValueKind::Text) return;
        for (const bool wellFormed : {true, false}) {
            const std::string file = std::to_string(written.size()) + "-" + attribute.name + ".xml";
            WriteAnswers(file, open + " " + attribute.name + "=" + Quoted(Sample(attribute.kind, wellFormed)) + close);
            written.push_back({file, wellFormed});
        }
    };
    for (const AnswerRule& rule : Tolvex29::AnswerRules()) {
        for (const std::string_view name : rule.elementNames) {
            const std::string element(name);
            for (const AttributeRule& attribute : rule.attributes) write("<" + element, attribute, "/>");
            for (const AttributeRule& attribute : rule.outputAttributes)
                write("<" + element + "><" + rule.outputChild, attribute, "/></" + element + ">");
        }
    }
    std::vector<std::string> files;
    for (const Written& entry : written) files.push_back(entry.file);

    const SchemaVerdicts verdicts(files);
    ASSERT_TRUE(verdicts.JudgedAll());
    for (const Written& entry : written) {
        EXPECT_EQ(LibraryReadsAnswers(entry.file), entry.wellFormed) << entry.file;
        EXPECT_EQ(verdicts.Valid(entry.file), entry.wellFormed)
            << entry.file << "\n" << verdicts.MessagesOn(entry.file);
    }
}

}  // namespace
