#include "update/InstallerSignature.h"

#include <sodium.h>

namespace quorvex {
namespace {

constexpr std::size_t kBlock = 102400;

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeBase64(const std::string& text, std::size_t size)
{
    if (sodium_init() < 0)
        return std::nullopt;
    // One byte more than wanted, so that a longer text is seen as such.
    std::vector<std::uint8_t> bytes(size + 1);
    std::size_t length = 0;
    const char* end = nullptr;
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::string trimmed = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (sodium_base642bin(bytes.data(), bytes.size(), trimmed.data(), trimmed.size(), nullptr, &length, &end,
                          sodium_base64_VARIANT_ORIGINAL)
            != 0
        || end != trimmed.data() + trimmed.size() || length != size)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> DecodePublicKey(const std::string& base64)
{
    return DecodeBase64(base64, crypto_sign_PUBLICKEYBYTES);
}

TSignatureCheck CheckSignature(TFileBlocks& file, const std::string& signature, const std::string& publicKey)
{
    if (signature.find_first_not_of(" \t\r\n") == std::string::npos)
        return TSignatureCheck::Missing;
    const auto key = DecodePublicKey(publicKey);
    const auto signatureBytes = DecodeBase64(signature, crypto_sign_BYTES);
    if (!key || !signatureBytes || !file.Rewind())
        return TSignatureCheck::Invalid;
    crypto_sign_state state;
    crypto_sign_init(&state);
    std::vector<std::uint8_t> block(kBlock);
    for (;;) {
        const std::optional<std::size_t> count = file.Read(block);
        if (!count)
            return TSignatureCheck::Invalid;  // a read error: the bytes are not all known
        if (*count == 0)
            break;
        crypto_sign_update(&state, block.data(), *count);
    }
    const bool valid = crypto_sign_final_verify(&state, signatureBytes->data(), key->data()) == 0;
    return valid ? TSignatureCheck::Valid : TSignatureCheck::Invalid;
}

}  // namespace quorvex
