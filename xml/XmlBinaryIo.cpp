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
    reader.ReadBytes(bytes, sizeof bytes);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

}  // namespace

bool IsBinaryXml(std::string_view text) { return text.substr(0, BinaryXmlSignature.size()) == BinaryXmlSignature; }

void TBinXmlReader::CheckAvailable(std::size_t count) const {
    if (count > BytesLeft()) RaiseReadError();
}

TStmXmlReader::TStmXmlReader(Platform::TStream& stream, std::size_t bufferSize)
    : stream_(stream), buffer_(bufferSize > 0 ? bufferSize : 1) {
    const std::int64_t left = stream.GetSize() - stream.GetPosition();
    undelivered_ = left > 0 ? static_cast<std::uint64_t>(left) : 0;
    Options = ReadOptions(*this);
}

void TStmXmlReader::ReadBytes(void* destination, std::size_t count) {
    CheckAvailable(count);
    auto* out = static_cast<unsigned char*>(destination);
    const std::size_t buffered = bufferEnd_ - bufferPosition_;
    if (buffered >= count) {
        if (count > 0) std::memcpy(out, buffer_.data() + bufferPosition_, count);
        bufferPosition_ += count;
        undelivered_ -= count;
        return;
    }
    if (buffered > 0) std::memcpy(out, buffer_.data() + bufferPosition_, buffered);
    stream_.ReadBuffer(out + buffered, count - buffered);
    undelivered_ -= count;
    bufferPosition_ = 0;
    bufferEnd_ = static_cast<std::size_t>(std::min<std::uint64_t>(undelivered_, buffer_.size()));
    if (bufferEnd_ > 0) stream_.ReadBuffer(buffer_.data(), bufferEnd_);
}

TStrXmlReader::TStrXmlReader(const std::string& image) : image_(image) {
    if (image.size() < BinaryXmlSignature.size() + OptionsSize) RaiseReadError();
    position_ = BinaryXmlSignature.size();
    Options = ReadOptions(*this);
}

void TStrXmlReader::ReadBytes(void* destination, std::size_t count) {
    CheckAvailable(count);
    if (count > 0) std::memcpy(destination, image_.data() + position_, count);
    position_ += count;
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
