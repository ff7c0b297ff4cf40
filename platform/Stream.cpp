#include "platform/Stream.h"

#include <algorithm>

namespace quorvex {

std::size_t TMemoryStream::Read(std::span<std::uint8_t> buffer)
{
    if (position_ >= bytes_.size())
        return 0;
    const std::size_t count = std::min(buffer.size(), bytes_.size() - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer.begin());
    position_ += count;
    return count;
}

void TMemoryStream::Write(std::span<const std::uint8_t> bytes)
{
    const std::size_t end = position_ + bytes.size();
    if (end > bytes_.size())
        bytes_.resize(end);
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ = end;
}

void TMemoryStream::Clear()
{
    std::vector<std::uint8_t>().swap(bytes_);
    position_ = 0;
}

void TMemoryStream::Assign(std::vector<std::uint8_t> bytes)
{
    bytes_ = std::move(bytes);
    position_ = 0;
}

}  // namespace quorvex
