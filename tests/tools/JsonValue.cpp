#include "tools/JsonValue.h"

#include <stdexcept>

namespace TolvexTest {

namespace {

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    JsonValue Document() {
        JsonValue value = Value();
        SkipBlanks();
        if (at_ != text_.size()) Fail("trailing characters");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& what) {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(at_));
    }
    void SkipBlanks() {
        while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) ++at_;
    }
    bool Take(char c) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
        return false;
    }
    void Expect(char c) {
        if (!Take(c)) Fail(std::string("'") + c + "' expected");
    }

    std::string String() {
        Expect('"');
        std::string text;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') {
                if (at_ >= text_.size()) Fail("escape");
                const char e = text_[at_++];
                if (e == 'u') {
                    if (at_ + 4 > text_.size()) Fail("escape");
                    c = static_cast<char>(std::stoi(text_.substr(at_, 4), nullptr, 16));
                    at_ += 4;
                } else {
                    c = e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                }
            } else if (static_cast<unsigned char>(c) < 0x20) {
                Fail("control character in string");
            }
            text += c;
        }
        Expect('"');
        return text;
    }

    JsonValue Value() {
        JsonValue value;
        SkipBlanks();
        if (at_ >= text_.size()) Fail("value expected");
        const char c = text_[at_];
        if (c == '{') {
            value.kind = JsonValue::Object;
            ++at_;
            if (Take('}')) return value;
            do {
                const std::string name = String();
                Expect(':');
                value.members[name] = Value();
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            value.kind = JsonValue::Array;
            ++at_;
            if (Take(']')) return value;
            do value.items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            value.kind = JsonValue::String;
            value.text = String();
        } else {
            const size_t end = text_.find_first_of(",}] \r\n", at_);
            value.text = text_.substr(at_, end - at_);
            at_ = end == std::string::npos ? text_.size() : end;
            if (value.text == "true" || value.text == "false")
                value.kind = JsonValue::Boolean;
            else if (value.text == "null")
                value.kind = JsonValue::Null;
            else if (value.text.find_first_not_of("-0123456789.eE+") == std::string::npos && !value.text.empty())
                value.kind = JsonValue::Number;
            else
                Fail("bad literal " + value.text);
        }
        return value;
    }

    const std::string& text_;
    size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    static const JsonValue missing;
    const auto found = members.find(name);
    return found == members.end() ? missing : found->second;
}

JsonValue ParseJson(const std::string& text) { return JsonParser(text).Document(); }

}  // namespace TolvexTest
