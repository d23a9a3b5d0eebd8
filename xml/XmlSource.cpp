#include "xml/XmlSource.h"

#include <algorithm>

namespace TolvexXml {

void TXmlSource::NewToken() {
    ++top_;
    if (static_cast<std::size_t>(top_) < tokens_.size())
        tokens_[static_cast<std::size_t>(top_)].Reset();
    else
        tokens_.emplace_back();
}

std::string TXmlSource::AcceptToken() {
    std::string text(TokenText());
    DropToken();
    return text;
}

TXmlStrSource::TXmlStrSource(std::string_view text) {
    SetWindow(text.data(), text.data() + text.size());
    StartReading();
}

TXmlStmSource::TXmlStmSource(Platform::TStream& stream, std::int32_t bufSize)
    : stream_(stream),
      buffer_(static_cast<std::size_t>(std::max<std::int32_t>(bufSize, 1)), '\0'),
      remaining_(stream.GetSize()) {
    StartReading();
}

bool TXmlStmSource::RefillWindow() {
    if (remaining_ <= 0) return false;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(buffer_.size())));
    stream_.ReadBuffer(buffer_.data(), count);
    remaining_ -= static_cast<std::int64_t>(count);
    SetWindow(buffer_.data(), buffer_.data() + count);
    return true;
}

}  // namespace TolvexXml
