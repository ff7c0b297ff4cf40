// Message digests from libgcrypt, the project's one cryptography library.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct gcry_md_handle;

namespace quorvex {

enum class TDigestAlgorithm { MD5, SHA1, SHA512 };

// Makes libgcrypt ready for use (once per process). Throws Error when the
// library is older than the one the program was built with.
void InitialiseCrypto();

class TDigest {
public:
    // Throws Error with libgcrypt's reason when the algorithm is not to be had.
    explicit TDigest(TDigestAlgorithm algorithm);
    ~TDigest();
    TDigest(const TDigest&) = delete;
    TDigest& operator=(const TDigest&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added.
    std::vector<std::uint8_t> Result() const;

private:
    TDigestAlgorithm algorithm_;
    gcry_md_handle* handle_ = nullptr;
};

// Bytes as upper-case hexadecimal text.
std::string UpperHex(std::span<const std::uint8_t> bytes);

}  // namespace quorvex
