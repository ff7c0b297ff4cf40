#include "update/InstallerSignature.h"

#include <sodium.h>

namespace quorvex {
namespace {

constexpr qint64 kBlock = 102400;

std::optional<QByteArray> DecodeBase64(const QString& text, qsizetype size)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size)
        return std::nullopt;
    return decoded.decoded;
}

const unsigned char* Bytes(const QByteArray& bytes)
{
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

}  // namespace

std::optional<QByteArray> DecodePublicKey(const QString& base64)
{
    return DecodeBase64(base64, crypto_sign_PUBLICKEYBYTES);
}

TSignatureCheck CheckSignature(QIODevice& file, const QString& signature, const QString& publicKey)
{
    if (signature.trimmed().isEmpty())
        return TSignatureCheck::Missing;
    const std::optional<QByteArray> key = DecodePublicKey(publicKey);
    const std::optional<QByteArray> signatureBytes = DecodeBase64(signature, crypto_sign_BYTES);
    if (!key || !signatureBytes || sodium_init() < 0 || !file.seek(0))
        return TSignatureCheck::Invalid;
    crypto_sign_state state;
    crypto_sign_init(&state);
    for (;;) {
        const QByteArray block = file.read(kBlock);
        if (block.isEmpty())
            break;
        crypto_sign_update(&state, Bytes(block), static_cast<unsigned long long>(block.size()));
    }
    if (!file.atEnd())
        return TSignatureCheck::Invalid;  // a read error: the bytes are not all known
    const bool valid = crypto_sign_final_verify(&state, Bytes(*signatureBytes), Bytes(*key)) == 0;
    return valid ? TSignatureCheck::Valid : TSignatureCheck::Invalid;
}

}  // namespace quorvex
