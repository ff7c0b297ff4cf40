#include "update/Checksums.h"

#include "update/Digest.h"

#include <zlib.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace quorvex {
namespace {

constexpr std::size_t kLargeBlock = 102400;  // CRC-32 and MD5
constexpr std::size_t kSmallBlock = 4096;  // SHA-1

// Feeds the whole file, from its start, to consume in blocks; false when
// it cannot be read.
bool ReadInBlocks(TFileBlocks& file, std::size_t blockSize,
                  const std::function<void(std::span<const std::uint8_t>)>& consume)
{
    if (!file.Rewind())
        return false;
    std::vector<std::uint8_t> block(blockSize);
    for (;;) {
        const std::optional<std::size_t> count = file.Read(block);
        if (!count)
            return false;
        if (*count == 0)
            return true;
        consume(std::span(block).first(*count));
    }
}

std::optional<std::string> Crc32(TFileBlocks& file)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const bool read = ReadInBlocks(file, kLargeBlock, [&crc](std::span<const std::uint8_t> block) {
        crc = crc32(crc, block.data(), static_cast<uInt>(block.size()));
    });
    if (!read)
        return std::nullopt;
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(crc));
    return text;
}

std::optional<std::string> DigestText(TFileBlocks& file, TDigestAlgorithm algorithm, std::size_t blockSize)
{
    TDigest digest(algorithm);
    if (!ReadInBlocks(file, blockSize, [&digest](std::span<const std::uint8_t> block) { digest.Add(block); }))
        return std::nullopt;
    return UpperHex(digest.Result());
}

}  // namespace

std::optional<std::string> FileChecksum(TFileBlocks& file, THashType type)
{
    switch (type) {
    case THashType::None: return std::nullopt;
    case THashType::CRC32: return Crc32(file);
    case THashType::MD5: return DigestText(file, TDigestAlgorithm::MD5, kLargeBlock);
    case THashType::SHA1: return DigestText(file, TDigestAlgorithm::SHA1, kSmallBlock);
    }
    return std::nullopt;
}

std::optional<std::string> FileChecksum(const std::string& path, THashType type)
{
    const std::unique_ptr<TFileBlocks> file = OpenFileBlocks(path);
    if (!file)
        return std::nullopt;
    return FileChecksum(*file, type);
}

bool ChecksumMatches(TFileBlocks& file, THashType type, const std::string& expected)
{
    const std::optional<std::string> checksum = FileChecksum(file, type);
    return checksum.has_value() && *checksum == expected;
}

}  // namespace quorvex
