// Finding the lowest offset of a byte pattern in a byte range, fast. Every
// function gives the same answer; they differ in speed by pattern length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvex {

inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Picks the faster of the searches below for the pattern's length.
std::size_t SearchBytes(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern);

// For short patterns: compares the pattern's first and last byte at 32
// positions at once (AVX2) before comparing whole candidates; the C library's
// search on processors without AVX2.
std::size_t SearchAnchored(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern);

// The C library's search (the platform layer's FindInMemory), which skips
// ahead well on long patterns.
std::size_t SearchLibrary(std::span<const std::uint8_t> text, std::span<const std::uint8_t> pattern);

}  // namespace quorvex
