// Windows' C library has no memmem: the standard library's Boyer-Moore-Horspool
// skips ahead by the pattern's length in the same way.
#include "platform/MemorySearch.h"

#include <algorithm>
#include <functional>

namespace quorvex {

std::size_t FindInMemory(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern)
{
    if (pattern.empty() || text.size() < pattern.size())
        return text.size();
    const auto match =
        std::search(text.begin(), text.end(), std::boyer_moore_horspool_searcher(pattern.begin(), pattern.end()));
    return static_cast<std::size_t>(match - text.begin());
}

}  // namespace quorvex
