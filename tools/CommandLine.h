// Splitting script lines into words and walking a command's options.
#pragma once

#include <string>
#include <vector>

namespace TolvexHost {

// Words separated by blanks; "double" or 'single' quotes keep blanks in a word,
// and a backslash inside double quotes escapes the next character. A line whose
// first word starts with # is a comment (no words).
std::vector<std::string> SplitWords(const std::string& line);

// The words of one command after its name, read left to right.
class Arguments {
public:
    Arguments(std::string command, std::vector<std::string> words);

    bool Done() const { return next_ >= words_.size(); }
    // The next word when it is an option ("--x"); empty otherwise.
    std::string NextOption();
    // The value that follows an option; UsageError when missing.
    std::string Value(const std::string& option);
    // The next positional word; UsageError when missing or an option.
    std::string Positional(const std::string& what);
    // UsageError naming the word, for options the command does not know.
    [[noreturn]] void Unknown(const std::string& word) const;
    // UsageError when words are left over.
    void ExpectEnd() const;
    const std::string& Command() const { return command_; }

private:
    std::string command_;
    std::vector<std::string> words_;
    size_t next_ = 0;
};

}  // namespace TolvexHost
