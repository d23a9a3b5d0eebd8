#include "tools/VerifyExpectations.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "tools/ArgumentValues.h"
#include "tools/CommandLine.h"

namespace TolvexHost {

namespace {

using Comparison = CountExpectation::Comparison;

std::string FieldNames(Subject subject) {
    std::string names;
    for (const SubjectField& known : SubjectFields(subject)) names.append(names.empty() ? "" : ", ").append(known.name);
    return names;
}

// "08.12.2026" from the forms a date field takes.
std::string DateKey(const std::string& what, const std::string& text) {
    if (text.find('.') == std::string::npos) {
        const std::string formatted = FormatDate(ParseDate(what, text));  // YYYY-MM-DD
        return formatted.substr(8, 2) + "." + formatted.substr(5, 2) + "." + formatted.substr(0, 4);
    }
    const UsageError notADate(what + ": \"" + text + "\" is not a date DD.MM.YYYY");
    unsigned day = 0, month = 0, year = 0;
    char rest = 0;
    if (text.find_first_not_of("0123456789.") != std::string::npos ||
        std::sscanf(text.c_str(), "%2u.%2u.%4u%c", &day, &month, &year, &rest) != 3)
        throw notADate;
    char iso[32];
    std::snprintf(iso, sizeof iso, "%04u-%02u-%02u", year, month, day);
    std::string formatted;
    try {
        formatted = FormatDate(ParseDate(what, iso));
    } catch (const UsageError&) {
        throw notADate;
    }
    return formatted.substr(8, 2) + "." + formatted.substr(5, 2) + "." + formatted.substr(0, 4);
}

std::int64_t AmountHundredths(const std::string& what, std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return ParseMoney(what, text);
}

std::string ValueKey(const SubjectField& known, const std::string& text) {
    const std::string what = known.name;
    switch (known.form) {
        case ValueForm::Integer:
            return std::to_string(ParseInteger(what, text, std::numeric_limits<std::int64_t>::min(),
                                               std::numeric_limits<std::int64_t>::max()));
        case ValueForm::Account: {
            const std::int64_t value =
                ParseInteger(what, text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::uint32_t>::max());
            return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
        }
        case ValueForm::Amount: return std::to_string(AmountHundredths(what, text));
        case ValueForm::Vat: {
            const std::size_t colon = text.find(':');
            if (colon == std::string::npos) throw UsageError(what + ": \"" + text + "\" is not RATE:SUM");
            std::string key = std::to_string(AmountHundredths(what + " rate", text.substr(0, colon)));
            return key.append(":").append(std::to_string(AmountHundredths(what + " sum", text.substr(colon + 1))));
        }
        case ValueForm::Date: return DateKey(what, text);
        case ValueForm::Text: return text;
    }
    return text;
}

FieldCondition ParseCondition(Subject subject, const std::string& word) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("\"" + word + "\" is not FIELD=VALUE");
    const std::string name = word.substr(0, equals);
    for (const SubjectField& known : SubjectFields(subject))
        if (name == known.name) return {known.field, name, ValueKey(known, word.substr(equals + 1))};
    throw UsageError(std::string("unknown field ") + name + " of " + SubjectName(subject) + " (fields: " +
                     FieldNames(subject) + ")");
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text.append(text.empty() ? "" : " ").append(QuotedWhenNeeded(word));
    return text;
}

CallPattern ParsePattern(const std::vector<std::string>& words) {
    if (words.empty()) throw UsageError("a pattern is empty");
    const std::optional<Subject> subject = FindSubject(words[0]);
    if (!subject)
        throw UsageError("\"" + words[0] +
                         "\" is not an export (GetCardInfoEx, TransactionsEx, GetCardImageEx, FindEmail), "
                         "transaction, order: or dump");
    CallPattern pattern{*subject, {}, Joined(words)};
    for (std::size_t index = 1; index < words.size(); ++index)
        pattern.conditions.push_back(ParseCondition(*subject, words[index]));
    return pattern;
}

std::uint64_t ParseCount(const std::string& text) {
    return static_cast<std::uint64_t>(ParseInteger("count", text, 0, std::numeric_limits<std::int64_t>::max()));
}

// A pattern and the count that ends its words, if any.
CountExpectation ParseCountExpectation(std::vector<std::string> words) {
    CountExpectation expectation;
    const std::size_t size = words.size();
    std::size_t countWords = 0;
    if (size >= 1 && words[size - 1] == "never") {
        expectation.comparison = Comparison::Exactly;
        expectation.count = 0;
        countWords = 1;
    } else if (size >= 2 && words[size - 2] == "exactly") {
        expectation.comparison = Comparison::Exactly;
        countWords = 2;
    } else if (size >= 3 && words[size - 3] == "at" && (words[size - 2] == "least" || words[size - 2] == "most")) {
        expectation.comparison = words[size - 2] == "least" ? Comparison::AtLeast : Comparison::AtMost;
        countWords = 3;
    }
    if (countWords >= 2) expectation.count = ParseCount(words[size - 1]);
    words.resize(size - countWords);
    expectation.pattern = ParsePattern(words);
    return expectation;
}

// The parts of text between commas outside quotes.
std::vector<std::string> CommaSeparated(const std::string& text) {
    std::vector<std::string> parts(1);
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == 0 && c == ',') {
            parts.emplace_back();
            continue;
        }
        parts.back() += c;
        if (quote == '"' && c == '\\' && i + 1 < text.size()) {
            parts.back() += text[++i];
        } else if (quote != 0 && c == quote) {
            quote = 0;
        } else if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        }
    }
    return parts;
}

OrderExpectation ParseOrder(const std::string& patterns) {
    OrderExpectation order;
    for (const std::string& part : CommaSeparated(patterns)) {
        const std::vector<std::string> words = SplitWords(part);
        if (words.empty()) throw UsageError("order: an empty pattern between commas");
        order.patterns.push_back(ParsePattern(words));
    }
    if (order.patterns.size() < 2) throw UsageError("order: needs at least two patterns, separated by commas");
    return order;
}

DumpExpectation ParseDump(const std::vector<std::string>& words) {
    const char* const form = "dump unit=N contains|equals \"TEXT\" (or hex \"HEX DIGITS\")";
    const bool hex = words.size() == 5 && words[3] == "hex";
    if ((words.size() != 4 && !hex) || words[1].rfind("unit=", 0) != 0 ||
        (words[2] != "contains" && words[2] != "equals"))
        throw UsageError(std::string("expected ") + form);
    DumpExpectation dump;
    dump.unit = static_cast<std::int32_t>(ParseInteger("unit", words[1].substr(5), std::numeric_limits<std::int32_t>::min(),
                                                       std::numeric_limits<std::int32_t>::max()));
    dump.whole = words[2] == "equals";
    if (hex) {
        std::string digits;
        for (const char c : words[4])
            if (c != ' ' && c != '\t') digits += c;
        dump.bytes = ParseHexBytes("hex", digits);
    } else {
        dump.bytes = words[3];
    }
    if (dump.bytes.empty() && !dump.whole) throw UsageError("dump: contains needs a non-empty input");
    return dump;
}

RunExpectation ParseLine(const std::string& line, std::size_t number) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    const std::string text = line.substr(start, line.find_last_not_of(" \t\r") + 1 - start);
    RunExpectation expectation{number, text, {}};
    const std::string orderWord = "order:";
    if (text.rfind(orderWord, 0) == 0) {
        expectation.check = ParseOrder(text.substr(orderWord.size()));
        return expectation;
    }
    const std::vector<std::string> words = SplitWords(text);
    if (words[0] == "dump")
        expectation.check = ParseDump(words);
    else
        expectation.check = ParseCountExpectation(words);
    return expectation;
}

}  // namespace

std::string RunExpectationError::Text() const {
    std::string text = file;
    return text.append(":").append(std::to_string(line)).append(": ").append(message);
}

RunExpectations ParseRunExpectations(std::string_view text, const std::string& fileName) {
    RunExpectations parse;
    std::size_t number = 0, start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        try {
            if (SplitWords(line).empty()) continue;
            parse.expectations.push_back(ParseLine(line, number));
        } catch (const UsageError& error) {
            parse.errors.push_back({fileName, number, error.what()});
        }
    }
    return parse;
}

bool PatternMatches(const CallPattern& pattern, const LogEvent& event) {
    if (event.subject != pattern.subject) return false;
    for (const FieldCondition& condition : pattern.conditions) {
        const std::optional<FieldValue> value = EventField(event, condition.field);
        if (!value || value->key != condition.key) return false;
    }
    return true;
}

}  // namespace TolvexHost
