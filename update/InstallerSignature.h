// Publisher signatures of installers. The publisher signs an installer with
// Ed25519 in libsodium's multi-part form (the signature covers the SHA-512
// of the whole file, so a file is checked block by block, never held whole
// in memory); the update information file carries the signature and the
// build carries the publisher's public key, both as base64 text.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

namespace quorvex {

enum class TSignatureCheck { Valid, Missing, Invalid };

// The 32 bytes of a public key written as base64; nothing when the text is
// not one.
std::optional<QByteArray> DecodePublicKey(const QString& base64);

// Whether the device's bytes, read from its start, carry the signature
// (base64) of the owner of the public key (base64). A missing signature is
// Missing; a signature or key that cannot be read, or that does not match
// the bytes, is Invalid.
TSignatureCheck CheckSignature(QIODevice& file, const QString& signature, const QString& publicKey);

}  // namespace quorvex
