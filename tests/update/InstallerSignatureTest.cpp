// Publisher signatures: what the verifier accepts (built on both systems).
#include "PublisherKeys.h"
#include "SignatureCases.h"
#include "update/InstallerSignature.h"

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

TEST(InstallerSignature, OnlyThePublishersSignatureOfTheseBytesIsValid)
{
    const TPublisherKeys publisher = NewPublisherKeys();
    const TPublisherKeys other = NewPublisherKeys();
    const std::string installer = Installer();
    std::string tampered = installer;
    tampered[123'456] = static_cast<char>(tampered[123'456] ^ 1);
    const std::string signature = SignatureOf(installer, publisher);
    std::string damagedSignature = signature;
    damagedSignature[3] = damagedSignature[3] == 'A' ? 'B' : 'A';

    const struct {
        const char* Name;
        std::string Bytes;
        std::string Signature;
        std::string Key;
        TSignatureCheck Expected;
    } cases[] = {
        {"signed", installer, signature, publisher.PublicKey, TSignatureCheck::Valid},
        {"signature with blanks around it", installer, " " + signature + " ", publisher.PublicKey,
         TSignatureCheck::Valid},
        {"unsigned", installer, "", publisher.PublicKey, TSignatureCheck::Missing},
        {"tampered", tampered, signature, publisher.PublicKey, TSignatureCheck::Invalid},
        {"cut short", installer.substr(0, installer.size() - 1), signature, publisher.PublicKey,
         TSignatureCheck::Invalid},
        {"signed with another key", installer, SignatureOf(installer, other), publisher.PublicKey,
         TSignatureCheck::Invalid},
        {"damaged signature", installer, damagedSignature, publisher.PublicKey, TSignatureCheck::Invalid},
        {"signature not base64", installer, "not a signature", publisher.PublicKey, TSignatureCheck::Invalid},
        {"key not base64", installer, signature, "%%%", TSignatureCheck::Invalid},
        {"key of the wrong length", installer, signature, "a2tra2tra2tra2tra2tra2tra2tra2tra2tra2traw==",
         TSignatureCheck::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(c.Bytes, c.Signature, c.Key), c.Expected) << c.Name;
}

TEST(InstallerSignature, PublicKeyText)
{
    EXPECT_EQ(DecodePublicKey("a2tra2tra2tra2tra2tra2tra2tra2tra2tra2tra2s="), std::vector<std::uint8_t>(32, 'k'));
    for (const char* text : {"", "a2tr", "not base64 at all!", "a2tra2tra2tra2tra2tra2tra2tra2tra2tra2tra2tr",
                             "a2tra2tra2tra2tra2tra2tra2tra2tra2tra2tra2s= x"})
        EXPECT_FALSE(DecodePublicKey(text).has_value()) << text;
}

// A key pair, an installer and its signature as published before the
// verifier changed: what was signed then stays valid.
TEST(InstallerSignature, SignaturesPublishedBeforeStayValid)
{
    std::string installer = Installer(3);
    const std::string publicKey = "4sujGXXLpl5L0b5ugzrtCNZ4VK4sK/TvRilXkcVIYCU=";
    const std::string signature =
        "4d1QmPh/D7mXTt1TzZaR2nHLYwUOx2qL8vhAN3wsNzxSZ9VqLxpHQC9VenwmHCDLd6FNj2Y/othzUEKMVf5uAQ==";
    EXPECT_EQ(Check(installer, signature, publicKey), TSignatureCheck::Valid);
    installer[299'999] = static_cast<char>(installer[299'999] ^ 0x40);
    EXPECT_EQ(Check(installer, signature, publicKey), TSignatureCheck::Invalid);
}

}  // namespace
}  // namespace quorvex::test
