// The byte movers of the binary XML form: readers that deliver exact byte counts
// from a stream or a string, and writers that buffer into a stream or a string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {
class TStream;
}

namespace TolvexXml {

// The first 14 bytes of every image.
inline constexpr std::string_view BinaryXmlSignature = "< binary-xml >";
// The buffer size of every reader and writer the library makes.
inline constexpr std::size_t BinaryXmlBufferSize = 65536;

// True when the text starts with the signature (so a shorter text never is an image).
bool IsBinaryXml(std::string_view text);

// The bytes ready for delivery lie in one window (the rest of a string, or the
// stream reader's buffer); the inline reads take them from there without a call,
// and only a read that the window cannot satisfy goes to ReadBytes.
class TBinXmlReader {
public:
    TBinXmlReader() = default;
    TBinXmlReader(const TBinXmlReader&) = delete;
    TBinXmlReader& operator=(const TBinXmlReader&) = delete;
    virtual ~TBinXmlReader() = default;

    // Delivers exactly count bytes or fails with TolvexXmlException "Error reading data.".
    virtual void ReadBytes(void* destination, std::size_t count) = 0;
    // The bytes not yet delivered: a bound for every count read from the image.
    std::uint64_t BytesLeft() const noexcept { return Windowed() + beyondWindow_; }

    // ReadBytes of one byte, of count bytes, and of count bytes into a new string.
    unsigned char ReadByte() {
        if (next_ != end_) return *next_++;
        unsigned char byte;
        ReadBytes(&byte, 1);
        return byte;
    }
    void Read(void* destination, std::size_t count) {
        if (Windowed() < count) return ReadBytes(destination, count);
        if (count > 0) std::memcpy(destination, next_, count);
        next_ += count;
    }
    std::string ReadString(std::size_t count);

    std::uint32_t Options = 0;

protected:
    std::size_t Windowed() const noexcept { return static_cast<std::size_t>(end_ - next_); }
    // Fails unless count bytes are left to deliver.
    void CheckAvailable(std::size_t count) const;

    const unsigned char* next_ = nullptr;  // the window: bytes ready for delivery
    const unsigned char* end_ = nullptr;
    std::uint64_t beyondWindow_ = 0;  // the bytes left to deliver after the window
};

// Reads from a stream starting at its position (the signature already consumed),
// reading ahead up to one buffer; begins by reading the options word.
class TStmXmlReader final : public TBinXmlReader {
public:
    TStmXmlReader(Platform::TStream& stream, std::size_t bufferSize);

    void ReadBytes(void* destination, std::size_t count) override;

private:
    Platform::TStream& stream_;
    std::vector<unsigned char> buffer_;  // holds the window
};

// Reads an image held in a string: skips the 14 signature bytes without comparing
// them and reads the options word. The string must outlive the reader.
class TStrXmlReader final : public TBinXmlReader {
public:
    explicit TStrXmlReader(const std::string& image);
    explicit TStrXmlReader(std::string&&) = delete;  // the image must outlive the reader

    void ReadBytes(void* destination, std::size_t count) override;
};

class TBinXmlWriter {
public:
    explicit TBinXmlWriter(std::uint32_t options) : Options(options) {}
    TBinXmlWriter(const TBinXmlWriter&) = delete;
    TBinXmlWriter& operator=(const TBinXmlWriter&) = delete;
    virtual ~TBinXmlWriter() = default;

    virtual void WriteBytes(const void* source, std::size_t count) = 0;

    const std::uint32_t Options;

protected:
    // The signature and the options word that open every image.
    void WriteHeader();
};

// Writes to a stream through a buffer; pieces larger than the free space go
// straight through. Flush writes out the buffer; the destructor does the same
// for a writer abandoned by a failure, swallowing any further stream error.
class TStmXmlWriter final : public TBinXmlWriter {
public:
    TStmXmlWriter(Platform::TStream& stream, std::uint32_t options, std::size_t bufferSize);
    ~TStmXmlWriter() override;

    void WriteBytes(const void* source, std::size_t count) override;
    void Flush();

private:
    Platform::TStream& stream_;
    std::vector<unsigned char> buffer_;
    std::size_t used_ = 0;
};

// Builds the image in a string through a buffer; Flush appends the buffered bytes
// to the result, so the owner flushes before taking the result.
class TStrXmlWriter final : public TBinXmlWriter {
public:
    TStrXmlWriter(std::uint32_t options, std::size_t bufferSize);

    void WriteBytes(const void* source, std::size_t count) override;
    void Flush();
    std::string& Result() noexcept { return result_; }

private:
    std::string result_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

}  // namespace TolvexXml
