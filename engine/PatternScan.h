// The pattern scan behind the advert patches: the first (lowest) occurrence of
// a byte pattern at any byte offset of the messenger image is replaced.
#pragma once

#include "platform/Stream.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace quorvex {

// The event loop is served after each block of this many bytes searched
// without a match, so a long image keeps the windows responsive.
inline constexpr std::size_t kScanBlockSize = std::size_t{1} << 20;

// The offset of the first occurrence of pattern in the image. An image shorter
// than the pattern (or an empty pattern) gives no match without serving the
// event loop. The image is looked at afresh after each event-loop pass, since
// a handler run from the loop may change it.
std::optional<std::size_t> FindFirst(const TMemoryStream& image, std::span<const std::uint8_t> pattern);

// Replaces the first occurrence of pattern in the image by replacement (of the
// same length) and leaves the position after it; false when there is none.
bool ReplaceFirst(TMemoryStream& image, std::span<const std::uint8_t> pattern,
                  std::span<const std::uint8_t> replacement);

}  // namespace quorvex
