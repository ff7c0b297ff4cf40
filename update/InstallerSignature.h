// Publisher signatures of installers. The publisher signs an installer with
// Ed25519 in its pre-hashed form (the signature covers the SHA-512 of the
// whole file, so a file is checked block by block, never held whole in
// memory); the update information file carries the signature and the build
// carries the publisher's public key, both as base64 text.
#pragma once

#include "platform/FileBlocks.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

enum class TSignatureCheck { Valid, Missing, Invalid };

// The bytes of base64 text (blanks around it ignored) when they are exactly
// size bytes; nothing when the text is not base64 or of another length.
std::optional<std::vector<std::uint8_t>> DecodeBase64(const std::string& text, std::size_t size);

// The 32 bytes of a public key written as base64; nothing when the text is
// not one.
std::optional<std::vector<std::uint8_t>> DecodePublicKey(const std::string& base64);

// Whether the file's bytes, read from its start, carry the signature
// (base64) of the owner of the public key (base64). A missing signature is
// Missing; a signature or key that cannot be read, or that does not match
// the bytes, is Invalid.
TSignatureCheck CheckSignature(TFileBlocks& file, const std::string& signature, const std::string& publicKey);

}  // namespace quorvex
