// Publisher key pairs and signatures made by the tests themselves, in the
// form the update checker verifies (libsodium's multi-part Ed25519), and the
// publisher's own tool quorvex-update-sign (QUORVEX_UPDATE_SIGN).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <sodium.h>

#include <optional>

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

// Runs the publisher's tool; its standard output, or nothing when it failed.
inline std::optional<QString> Tool(const QStringList& arguments, QString* errors = nullptr)
{
    QProcess tool;
    tool.start(QStringLiteral(QUORVEX_UPDATE_SIGN), arguments);
    if (!tool.waitForFinished(30000))
        return std::nullopt;
    if (errors != nullptr)
        *errors = QString::fromLocal8Bit(tool.readAllStandardError());
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(tool.readAllStandardOutput());
}

// The value of "name=value" on the single line of a tool's output.
inline QString ValueOf(const std::optional<QString>& output, const QString& name)
{
    if (!output || !output->startsWith(name + QLatin1Char('=')) || !output->endsWith(QLatin1Char('\n'))
        || output->count(QLatin1Char('\n')) != 1)
        return {};
    return output->mid(name.size() + 1).chopped(1);
}

}  // namespace quorvex::test
