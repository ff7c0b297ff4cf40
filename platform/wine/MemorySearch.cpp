// The GNU C library's memmem (two-way search, vectorised).
#include "platform/MemorySearch.h"

#include <cstring>

namespace quorvex {

std::size_t FindInMemory(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
    if (pattern.empty() || text.size() < pattern.size())
        return text.size();
    const void* match = ::memmem(text.data(), text.size(), pattern.data(), pattern.size());
    return match == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const std::uint8_t*>(match) - text.data());
}

}  // namespace quorvex
