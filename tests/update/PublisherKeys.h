// Publisher key pairs and signatures made by the tests themselves, in the
// form the update checker verifies (libsodium's multi-part Ed25519), on
// standard types so that the tests build on both systems.
#pragma once

#include <sodium.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::test {

struct TPublisherKeys {
    std::string PublicKey;  // base64
    std::vector<std::uint8_t> SecretKey;
};

inline std::string Base64Of(const std::uint8_t* bytes, std::size_t size)
{
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.size() - 1);  // the terminating zero
    return text;
}

inline TPublisherKeys NewPublisherKeys()
{
    if (sodium_init() < 0)
        return {};
    std::vector<std::uint8_t> publicKey(crypto_sign_PUBLICKEYBYTES);
    TPublisherKeys keys{{}, std::vector<std::uint8_t>(crypto_sign_SECRETKEYBYTES)};
    crypto_sign_keypair(publicKey.data(), keys.SecretKey.data());
    keys.PublicKey = Base64Of(publicKey.data(), publicKey.size());
    return keys;
}

// The signature (base64) of bytes by the key pair's owner.
inline std::string SignatureOf(std::string_view bytes, const TPublisherKeys& keys)
{
    crypto_sign_state state;
    crypto_sign_init(&state);
    crypto_sign_update(&state, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    std::vector<std::uint8_t> signature(crypto_sign_BYTES);
    crypto_sign_final_create(&state, signature.data(), nullptr, keys.SecretKey.data());
    return Base64Of(signature.data(), signature.size());
}

}  // namespace quorvex::test
