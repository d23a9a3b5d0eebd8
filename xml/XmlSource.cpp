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

TXmlStrSource::TXmlStrSource(std::string_view text) {
    SetWindow(text.data(), text.data() + text.size());
    StartReading();
}

TXmlStmSource::TXmlStmSource(Platform::TStream& stream, std::int32_t bufSize)
    : stream_(stream),
      remaining_(stream.GetSize()),
      // No larger than the input, and not cleared: every byte is read before it is used.
      bufferSize_(
          static_cast<std::size_t>(std::clamp<std::int64_t>(remaining_, 1, std::max<std::int32_t>(bufSize, 1)))),
      buffer_(new char[bufferSize_]) {
    StartReading();
}

bool TXmlStmSource::RefillWindow() {
    if (remaining_ <= 0) return false;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(bufferSize_)));
    stream_.ReadBuffer(buffer_.get(), count);
    remaining_ -= static_cast<std::int64_t>(count);
    SetWindow(buffer_.get(), buffer_.get() + count);
    return true;
}

}  // namespace TolvexXml
