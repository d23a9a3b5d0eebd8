#include "platform/Stream.h"

#include <algorithm>
#include <cstring>

#include "base/Exception.h"
#include "base/Format.h"

namespace Platform {

void RaiseFileStreamError(FileStreamMode mode, const std::string& fullPath, const std::string& reason) {
    if (mode == FileStreamMode::Create)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", fullPath.c_str(), reason.c_str()));
    throw EFOpenError(Format("Cannot open file \"%s\". %s", fullPath.c_str(), reason.c_str()));
}

std::int64_t TStream::GetSize() {
    const std::int64_t position = GetPosition();
    const std::int64_t size = Seek(0, SeekOrigin::End);
    SetPosition(position);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= bytes_.size()) return 0;
    const std::size_t available = std::min(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, available);
    position_ += available;
    return available;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    switch (origin) {
        case SeekOrigin::Beginning: base = 0; break;
        case SeekOrigin::Current: base = static_cast<std::int64_t>(position_); break;
        case SeekOrigin::End: base = static_cast<std::int64_t>(bytes_.size()); break;
    }
    const std::int64_t target = base + offset;
    if (target < 0) return -1;
    position_ = static_cast<std::size_t>(target);
    return target;
}

void TMemoryStream::Clear() {
    bytes_.clear();
    position_ = 0;
}

}  // namespace Platform
