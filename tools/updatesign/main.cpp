// quorvex-update-sign: the publisher's tool for signed updates.
//
//   quorvex-update-sign keygen SECRET-KEY-FILE
//       makes a new key pair, writes the secret key (base64) to a new file
//       readable by its owner only (an existing file is never replaced), and
//       prints the public key as the build setting:
//       QUORVEX_UPDATE_PUBLIC_KEY=<base64>
//   quorvex-update-sign sign SECRET-KEY-FILE INSTALLER
//       prints the line for the update information file: EdSignature=<base64>
//
// The signature is Ed25519 in libsodium's multi-part form, over the SHA-512
// of the installer, which is what Quorvex verifies.
#include "platform/Error.h"
#include "platform/wine/NativeFile.h"
#include "platform/PrivateFile.h"

#include <sodium.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using quorvex::Error;

constexpr char kUsage[] =
    "usage: quorvex-update-sign keygen SECRET-KEY-FILE\n"
    "       quorvex-update-sign sign SECRET-KEY-FILE INSTALLER\n";

std::string Base64(const unsigned char* bytes, std::size_t size)
{
    std::string text(sodium_base64_encoded_len(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<unsigned char> FromBase64(const std::string& text, std::size_t size, const std::string& what)
{
    std::vector<unsigned char> bytes(size);
    std::size_t length = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), " \t\r\n", &length, nullptr,
                          sodium_base64_VARIANT_ORIGINAL)
            != 0
        || length != size)
        throw Error(what + " is not a secret key written by quorvex-update-sign keygen.");
    return bytes;
}

int KeyGen(const std::string& secretKeyFile)
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(publicKey, secretKey);
    const std::string secretText = Base64(secretKey, sizeof secretKey) + "\n";
    sodium_memzero(secretKey, sizeof secretKey);
    quorvex::TPrivateFile file = quorvex::TPrivateFile::CreateBeside(secretKeyFile);
    file.Write({reinterpret_cast<const std::uint8_t*>(secretText.data()), secretText.size()});
    file.RenameToNew(std::filesystem::path(secretKeyFile).filename().string());
    std::printf("QUORVEX_UPDATE_PUBLIC_KEY=%s\n", Base64(publicKey, sizeof publicKey).c_str());
    return 0;
}

int Sign(const std::string& secretKeyFile, const std::string& installer)
{
    std::vector<unsigned char> secretKey =
        FromBase64(quorvex::ReadNativeText(secretKeyFile), crypto_sign_SECRETKEYBYTES, "\"" + secretKeyFile + "\"");
    const std::vector<std::uint8_t> bytes = quorvex::ReadNativeFile(installer);
    crypto_sign_state state;
    crypto_sign_init(&state);
    crypto_sign_update(&state, bytes.data(), bytes.size());
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_final_create(&state, signature, nullptr, secretKey.data());
    sodium_memzero(secretKey.data(), secretKey.size());
    std::printf("EdSignature=%s\n", Base64(signature, sizeof signature).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        if (sodium_init() < 0)
            throw Error("libsodium cannot be initialised.");
        if (arguments.size() == 2 && arguments[0] == "keygen")
            return KeyGen(arguments[1]);
        if (arguments.size() == 3 && arguments[0] == "sign")
            return Sign(arguments[1], arguments[2]);
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quorvex-update-sign: %s\n", error.what());
        return 1;
    }
}
