// Publisher key pairs and signatures made by the tests themselves, in the
// form the update checker verifies (libsodium's multi-part Ed25519).
#pragma once

#include <QByteArray>
#include <QString>

#include <sodium.h>

namespace quorvex::test {

struct TKeyPair {
    QString PublicKey;  // base64
    QByteArray SecretKey;
};

inline TKeyPair NewKeyPair()
{
    if (sodium_init() < 0)
        return {};
    QByteArray publicKey(crypto_sign_PUBLICKEYBYTES, '\0');
    QByteArray secretKey(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(publicKey.data()),
                        reinterpret_cast<unsigned char*>(secretKey.data()));
    return {QString::fromLatin1(publicKey.toBase64()), secretKey};
}

// The signature (base64) of bytes by the key pair's owner.
inline QString Signature(const QByteArray& bytes, const TKeyPair& keys)
{
    crypto_sign_state state;
    crypto_sign_init(&state);
    crypto_sign_update(&state, reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<unsigned long long>(bytes.size()));
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_final_create(&state, reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                             reinterpret_cast<const unsigned char*>(keys.SecretKey.constData()));
    return QString::fromLatin1(signature.toBase64());
}

}  // namespace quorvex::test
