#include "update/Digest.h"

#include "platform/Error.h"

#include <gcrypt.h>

#include <cstring>

namespace quorvex {
namespace {

int GcryptAlgorithm(TDigestAlgorithm algorithm)
{
    switch (algorithm) {
    case TDigestAlgorithm::MD5: return GCRY_MD_MD5;
    case TDigestAlgorithm::SHA1: return GCRY_MD_SHA1;
    case TDigestAlgorithm::SHA512: return GCRY_MD_SHA512;
    }
    return GCRY_MD_NONE;
}

}  // namespace

void InitialiseCrypto()
{
    static const bool ready = [] {
        if (gcry_check_version(GCRYPT_VERSION) == nullptr)
            throw Error(std::string("libgcrypt ") + gcry_check_version(nullptr) + " is older than "
                        + GCRYPT_VERSION + ", which this program was built with.");
        // Nothing secret is held: no secure memory is needed.
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    static_cast<void>(ready);
}

TDigest::TDigest(TDigestAlgorithm algorithm) : algorithm_(algorithm)
{
    InitialiseCrypto();
    if (const gcry_error_t error = gcry_md_open(&handle_, GcryptAlgorithm(algorithm), 0))
        throw Error(std::string("Cannot compute a digest. ") + gcry_strerror(error));
}

TDigest::~TDigest()
{
    gcry_md_close(handle_);
}

void TDigest::Add(std::span<const std::uint8_t> bytes)
{
    gcry_md_write(handle_, bytes.data(), bytes.size());
}

std::vector<std::uint8_t> TDigest::Result() const
{
    const int algorithm = GcryptAlgorithm(algorithm_);
    const unsigned char* digest = gcry_md_read(handle_, algorithm);
    std::vector<std::uint8_t> bytes(gcry_md_get_algo_dlen(algorithm));
    std::memcpy(bytes.data(), digest, bytes.size());
    return bytes;
}

std::string UpperHex(std::span<const std::uint8_t> bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace quorvex
