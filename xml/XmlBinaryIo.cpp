#include "xml/XmlBinaryIo.h"

#include <algorithm>
#include <cstring>

#include "platform/Stream.h"
#include "xml/XmlExceptions.h"

namespace TolvexXml {

namespace {

constexpr std::size_t OptionsSize = 4;

[[noreturn]] void RaiseReadError() { throw TolvexXmlException("Error reading data."); }

std::uint32_t ReadOptions(TBinXmlReader& reader) {
    unsigned char bytes[OptionsSize];
    reader.Read(bytes, sizeof bytes);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool IsBinaryXml(std::string_view text) { return text.substr(0, BinaryXmlSignature.size()) == BinaryXmlSignature; }

void TBinXmlReader::CheckAvailable(std::size_t count) const {
    if (count > BytesLeft()) RaiseReadError();
}

std::string TBinXmlReader::ReadString(std::size_t count) {
    if (Windowed() >= count) {
        const unsigned char* bytes = next_;
        next_ += count;
        return std::string(reinterpret_cast<const char*>(bytes), count);
    }
    CheckAvailable(count);  // before the string is made: the count may be hostile
    std::string text(count, '\0');
    ReadBytes(text.data(), count);
    return text;
}

TStmXmlReader::TStmXmlReader(Platform::TStream& stream, std::size_t bufferSize)
    : stream_(stream), buffer_(bufferSize > 0 ? bufferSize : 1) {
    const std::int64_t left = stream.GetSize() - stream.GetPosition();
    beyondWindow_ = left > 0 ? static_cast<std::uint64_t>(left) : 0;
    Options = ReadOptions(*this);
}

// What the window lacks comes straight from the stream into the destination; then
// the window is refilled with up to one buffer.
void TStmXmlReader::ReadBytes(void* destination, std::size_t count) {
    CheckAvailable(count);
    auto* out = static_cast<unsigned char*>(destination);
    const std::size_t windowed = Windowed();
    if (windowed >= count) {
        if (count > 0) std::memcpy(out, next_, count);
        next_ += count;
        return;
    }
    if (windowed > 0) std::memcpy(out, next_, windowed);
    next_ = end_ = buffer_.data();
    stream_.ReadBuffer(out + windowed, count - windowed);
    beyondWindow_ -= count - windowed;
    const auto refill = static_cast<std::size_t>(std::min<std::uint64_t>(beyondWindow_, buffer_.size()));
    if (refill == 0) return;
    stream_.ReadBuffer(buffer_.data(), refill);
    beyondWindow_ -= refill;
    end_ = buffer_.data() + refill;
}

TStrXmlReader::TStrXmlReader(const std::string& image) {
    if (image.size() < BinaryXmlSignature.size() + OptionsSize) RaiseReadError();
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    next_ = bytes + BinaryXmlSignature.size();
    end_ = bytes + image.size();
    Options = ReadOptions(*this);
}

void TStrXmlReader::ReadBytes(void* destination, std::size_t count) {
    CheckAvailable(count);
    if (count > 0) std::memcpy(destination, next_, count);
    next_ += count;
}

void TBinXmlWriter::WriteHeader() {
    const unsigned char options[OptionsSize] = {
        static_cast<unsigned char>(Options), static_cast<unsigned char>(Options >> 8),
        static_cast<unsigned char>(Options >> 16), static_cast<unsigned char>(Options >> 24)};
    WriteBytes(BinaryXmlSignature.data(), BinaryXmlSignature.size());
    WriteBytes(options, sizeof options);
}

TStmXmlWriter::TStmXmlWriter(Platform::TStream& stream, std::uint32_t options, std::size_t bufferSize)
    : TBinXmlWriter(options), stream_(stream), buffer_(bufferSize) {
    WriteHeader();
}

TStmXmlWriter::~TStmXmlWriter() {
    try {
        Flush();
    } catch (...) {
        // Only a writer abandoned by a failure gets here with bytes left; that
        // failure is the one reported.
    }
}

void TStmXmlWriter::WriteBytes(const void* source, std::size_t count) {
    if (buffer_.size() - used_ >= count) {
        if (count > 0) std::memcpy(buffer_.data() + used_, source, count);
        used_ += count;
        return;
    }
    Flush();
    stream_.WriteBuffer(source, count);
}

void TStmXmlWriter::Flush() {
    if (used_ == 0) return;
    const std::size_t count = used_;
    used_ = 0;
    stream_.WriteBuffer(buffer_.data(), count);
}

TStrXmlWriter::TStrXmlWriter(std::uint32_t options, std::size_t bufferSize)
    : TBinXmlWriter(options), buffer_(bufferSize) {
    WriteHeader();
}

void TStrXmlWriter::WriteBytes(const void* source, std::size_t count) {
    if (buffer_.size() - used_ >= count) {
        if (count > 0) std::memcpy(buffer_.data() + used_, source, count);
        used_ += count;
        return;
    }
    result_.reserve(result_.size() + used_ + count);
    result_.append(buffer_.data(), used_);
    result_.append(static_cast<const char*>(source), count);
    used_ = 0;
}

void TStrXmlWriter::Flush() {
    result_.append(buffer_.data(), used_);
    used_ = 0;
}

}  // namespace TolvexXml
