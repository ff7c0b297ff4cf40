#include "engine/PatternScan.h"

#include "engine/ByteSearch.h"
#include "platform/EventPump.h"

#include <algorithm>
#include <cassert>

namespace quorvex {

std::optional<std::size_t> FindFirst(const TMemoryStream& image, std::span<const std::uint8_t> pattern)
{
    const std::size_t length = pattern.size();
    if (length == 0)
        return std::nullopt;
    // Blocks overlap by length - 1 bytes, so a match across a block border is
    // found in the block where it starts.
    for (std::size_t start = 0; start + length <= image.Size(); start += kScanBlockSize) {
        const std::span<const std::uint8_t> bytes = image.Bytes();
        const std::size_t end = std::min(bytes.size(), start + kScanBlockSize + length - 1);
        const std::size_t match = SearchBytes(bytes.subspan(start, end - start), pattern);
        if (match != kNotFound)
            return start + match;
        ServeEventLoop();
    }
    return std::nullopt;
}

bool ReplaceFirst(TMemoryStream& image, std::span<const std::uint8_t> pattern,
                  std::span<const std::uint8_t> replacement)
{
    assert(pattern.size() == replacement.size());
    const std::optional<std::size_t> offset = FindFirst(image, pattern);
    if (!offset)
        return false;
    image.Seek(*offset);
    image.Write(replacement);
    return true;
}

}  // namespace quorvex
