// An installer of more than one block of the verifier's reads, and the
// verifier run on bytes in memory from any read position.
#pragma once

#include "MemoryBlocks.h"
#include "update/InstallerSignature.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvex::test {

inline std::string Installer(int offset = 0)
{
    std::string bytes(300'000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(offset)) % 251);
    return bytes;
}

inline TSignatureCheck Check(const std::string& bytes, const std::string& signature, const std::string& publicKey)
{
    TMemoryBlocks file(bytes);
    std::vector<std::uint8_t> skipped(bytes.size() / 2);
    file.Read(skipped);  // read from the start whatever the position
    return CheckSignature(file, signature, publicKey);
}

}  // namespace quorvex::test
