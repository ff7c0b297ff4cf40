// The C library's search for a byte pattern in memory, where it has one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvex {

// The offset of the pattern's first occurrence in text; text.size() when it
// does not occur (or the pattern is empty). Skips ahead well on long patterns.
std::size_t FindInMemory(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern);

}  // namespace quorvex
