// Checksums of a downloaded installer, as the update information file gives
// them: upper-case hexadecimal text.
#pragma once

#include "platform/FileBlocks.h"

#include <optional>
#include <string>

namespace quorvex {

enum class THashType { None, CRC32, MD5, SHA1 };

// The file's checksum of the given type, read block by block from its
// start: CRC-32 as in zlib (8 digits), MD5 (32) or SHA-1 (40). Nothing for
// None or a file that cannot be read.
std::optional<std::string> FileChecksum(TFileBlocks& file, THashType type);
// The same of the file at a native path (UTF-8).
std::optional<std::string> FileChecksum(const std::string& path, THashType type);

// Whether the file's checksum is exactly the expected text (letter case
// included); an empty expectation or an unreadable file never matches.
bool ChecksumMatches(TFileBlocks& file, THashType type, const std::string& expected);

}  // namespace quorvex
