#include "tools/CommandLine.h"

#include "tools/ArgumentValues.h"

namespace TolvexHost {

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else if (c == '\\' && quote == '"' && i + 1 < line.size()) {
                word += line[++i];
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord && words.empty()) {
            return {};
        } else {
            inWord = true;
            if (c == '"' || c == '\'')
                quote = c;
            else
                word += c;
        }
    }
    if (quote != 0) throw UsageError(std::string("unterminated ") + quote + " quote");
    if (inWord) words.push_back(word);
    return words;
}

Arguments::Arguments(std::string command, std::vector<std::string> words)
    : command_(std::move(command)), words_(std::move(words)) {}

std::string Arguments::NextOption() {
    if (Done() || words_[next_].rfind("--", 0) != 0) return {};
    return words_[next_++];
}

std::string Arguments::Value(const std::string& option) {
    if (Done()) throw UsageError(command_ + ": " + option + " needs a value");
    return words_[next_++];
}

std::string Arguments::Positional(const std::string& what) {
    if (Done() || (words_[next_].rfind("--", 0) == 0 && words_[next_].size() > 2))
        throw UsageError(command_ + ": missing " + what);
    return words_[next_++];
}

void Arguments::Unknown(const std::string& word) const {
    throw UsageError(command_ + ": unknown option " + word);
}

void Arguments::ExpectEnd() const {
    if (!Done()) throw UsageError(command_ + ": unexpected argument " + words_[next_]);
}

}  // namespace TolvexHost
