// Character sources of the XML parser. A source hands out one 8-bit character
// at a time (CurChar, Next, Eof) from a window of bytes: the whole string for
// TXmlStrSource, a 65536-byte buffer refilled from a stream for TXmlStmSource.
// The parser may also scan the window directly (Position, WindowEnd, SkipTo) to
// take runs of characters at once. InputOffset places the current character in
// the whole input, for the report of a failed load. A source also carries the parser's scratch
// storage: a stack of token buffers, one per nesting level ever reached, reused
// for the whole load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Stream.h"

namespace TolvexXml {

// A growable text buffer that keeps its capacity when reset.
class TXmlToken {
public:
    static constexpr std::size_t InitialCapacity = 32;

    TXmlToken() { text_.reserve(InitialCapacity); }

    void Reset() noexcept { text_.clear(); }
    void AppendChar(char c) { text_.push_back(c); }
    void AppendChars(const char* chars, std::size_t count) { text_.append(chars, count); }
    std::string_view Text() const noexcept { return text_; }
    std::size_t Capacity() const noexcept { return text_.capacity(); }

private:
    std::string text_;
};

// Told by a source before its window is refilled, so that views into the
// window can be copied out first.
class TXmlWindowObserver {
public:
    virtual void BeforeRefill() = 0;

protected:
    ~TXmlWindowObserver() = default;
};

class TXmlSource {
public:
    TXmlSource() = default;
    TXmlSource(const TXmlSource&) = delete;
    TXmlSource& operator=(const TXmlSource&) = delete;
    virtual ~TXmlSource() = default;

    // True when there is no current character (the C library owns the name EOF).
    bool Eof() const noexcept { return position_ == windowEnd_; }
    // Advances by one character; false, with CurChar 0, when the input is exhausted.
    bool Next() { return SkipTo(position_ == windowEnd_ ? position_ : position_ + 1); }

    // The current character and the rest of the window; empty at the end of input.
    const char* Position() const noexcept { return position_; }
    const char* WindowEnd() const noexcept { return windowEnd_; }
    // Makes the character at p (Position() <= p <= WindowEnd()) current, refilling
    // the window when p is its end; the result is as for Next.
    bool SkipTo(const char* p) {
        position_ = p;
        if (position_ != windowEnd_ || Refill()) {
            CurChar = *position_;
            return true;
        }
        CurChar = 0;
        return false;
    }

    // The byte offset of the current character from the start of the input (the
    // input's size at its end). Counted per window, not per character.
    std::int64_t InputOffset() const noexcept { return windowStart_ + (position_ - windowBegin_); }

    // The observer told before each refill of the window; null for none.
    void SetWindowObserver(TXmlWindowObserver* observer) noexcept { observer_ = observer; }

    // The token stack.
    void NewToken();
    void AppendChar(char c) { tokens_[static_cast<std::size_t>(top_)].AppendChar(c); }
    void AppendChars(const char* chars, std::size_t count) {
        tokens_[static_cast<std::size_t>(top_)].AppendChars(chars, count);
    }
    std::string_view TokenText() const { return tokens_[static_cast<std::size_t>(top_)].Text(); }
    // Ends the token; its text stays readable until the next token is started.
    std::string_view AcceptToken() noexcept {
        const std::string_view text = TokenText();
        DropToken();
        return text;
    }
    void DropToken() noexcept { --top_; }
    // Tokens created so far (the deepest nesting of tokens reached).
    std::size_t TokenCount() const noexcept { return tokens_.size(); }

    char CurChar = 0;
    // When true the parser decodes character data and attribute values from UTF-8.
    bool DecodeUtf8 = false;
    // The code page of the most recent XML declaration.
    std::uint16_t CodePage = 0;

protected:
    // Makes [begin, end) the window, with begin current.
    void SetWindow(const char* begin, const char* end) noexcept {
        windowStart_ += windowEnd_ - windowBegin_;
        windowBegin_ = begin;
        position_ = begin;
        windowEnd_ = end;
    }
    // Called when the window is used up: loads the next window with SetWindow and
    // returns true, or returns false at the end of the input.
    virtual bool RefillWindow() = 0;
    // Makes the first character of the window current, or CurChar 0 when there is none.
    void StartReading() { CurChar = position_ != windowEnd_ || RefillWindow() ? *position_ : 0; }

private:
    bool Refill() {
        if (observer_) observer_->BeforeRefill();
        return RefillWindow();
    }

    TXmlWindowObserver* observer_ = nullptr;
    const char* windowBegin_ = nullptr;
    const char* position_ = nullptr;
    const char* windowEnd_ = nullptr;
    std::int64_t windowStart_ = 0;  // the input offset of windowBegin_
    std::vector<TXmlToken> tokens_;
    int top_ = -1;
};

// A source over an 8-bit string in memory, read in place: the caller keeps the
// string alive and unchanged for the source's lifetime.
class TXmlStrSource final : public TXmlSource {
public:
    explicit TXmlStrSource(std::string_view text);

private:
    bool RefillWindow() override { return false; }
};

// A source over a stream positioned at its start, read through a buffer of
// bufSize bytes, each fill one read of min(remaining, bufSize) bytes. A stream
// that delivers fewer bytes fails with EReadError. The stream is not owned.
class TXmlStmSource final : public TXmlSource {
public:
    static constexpr std::int32_t LoadBufSize = 65536;

    // A source over the whole stream, which is positioned at its start; the first
    // window is read at once.
    TXmlStmSource(Platform::TStream& stream, std::int32_t bufSize);

private:
    bool RefillWindow() override;

    Platform::TStream& stream_;
    std::int64_t remaining_;  // bytes of the stream not read yet
    std::size_t bufferSize_;
    std::unique_ptr<char[]> buffer_;
};

}  // namespace TolvexXml
