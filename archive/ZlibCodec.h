// The compressed form of a stored item: one zlib stream (RFC 1950) of the
// framed file, a 4-byte little-endian signed length L followed by L bytes.
#pragma once

#include "platform/Stream.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quorvex {

// Deflates the framed file made of the first `length` bytes of `source`, read
// from its position, at a zlib level (1 to 9, or -1 for zlib's default).
// Throws Error when the source ends early.
std::vector<std::uint8_t> DeflateFramedFile(TStream& source, std::int32_t length, int level);

// Inflates `block` just far enough to write the framed file's L bytes to
// `target`; whatever the stream holds after them is not read. Throws Error with
// zlib's reason when the block is not a zlib stream, is corrupt or ends early.
void InflateFramedFile(std::span<const std::uint8_t> block, TStream& target);

}  // namespace quorvex
