// Publisher signatures: what the verifier accepts, and the publisher's tool
// whose keys and signatures it must accept.
#include "MemoryBlocks.h"
#include "Signing.h"
#include "update/InstallerSignature.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

QByteArray Installer()
{
    // More than one block of the verifier's reads.
    QByteArray bytes(300'000, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

TSignatureCheck Check(QByteArray bytes, const QString& signature, const QString& publicKey)
{
    TMemoryBlocks file(bytes.toStdString());
    std::vector<std::uint8_t> skipped(static_cast<std::size_t>(bytes.size() / 2));
    file.Read(skipped);  // read from the start whatever the position
    return CheckSignature(file, signature.toStdString(), publicKey.toStdString());
}

TEST(InstallerSignature, OnlyThePublishersSignatureOfTheseBytesIsValid)
{
    const TKeyPair publisher = NewKeyPair();
    const TKeyPair other = NewKeyPair();
    const QByteArray installer = Installer();
    QByteArray tampered = installer;
    tampered[123'456] = static_cast<char>(tampered[123'456] ^ 1);
    const QString signature = Signature(installer, publisher);
    QString damagedSignature = signature;
    damagedSignature[3] = damagedSignature[3] == u'A' ? u'B' : u'A';

    const struct {
        const char* Name;
        QByteArray Bytes;
        QString Signature;
        QString Key;
        TSignatureCheck Expected;
    } cases[] = {
        {"signed", installer, signature, publisher.PublicKey, TSignatureCheck::Valid},
        {"signature with blanks around it", installer, QStringLiteral(" ") + signature + QStringLiteral(" "),
         publisher.PublicKey, TSignatureCheck::Valid},
        {"unsigned", installer, QString(), publisher.PublicKey, TSignatureCheck::Missing},
        {"tampered", tampered, signature, publisher.PublicKey, TSignatureCheck::Invalid},
        {"cut short", installer.left(installer.size() - 1), signature, publisher.PublicKey, TSignatureCheck::Invalid},
        {"signed with another key", installer, Signature(installer, other), publisher.PublicKey, TSignatureCheck::Invalid},
        {"damaged signature", installer, damagedSignature, publisher.PublicKey, TSignatureCheck::Invalid},
        {"signature not base64", installer, QStringLiteral("not a signature"), publisher.PublicKey,
         TSignatureCheck::Invalid},
        {"key not base64", installer, signature, QStringLiteral("%%%"), TSignatureCheck::Invalid},
        {"key of the wrong length", installer, signature, QString::fromLatin1(QByteArray(31, 'k').toBase64()),
         TSignatureCheck::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Check(c.Bytes, c.Signature, c.Key), c.Expected) << c.Name;
}

TEST(InstallerSignature, PublicKeyText)
{
    const QByteArray key(32, 'k');
    EXPECT_EQ(DecodePublicKey(key.toBase64().toStdString()), std::vector<std::uint8_t>(32, 'k'));
    for (const char* text : {"", "a2tr", "not base64 at all!", "a2tra2tra2tra2tra2tra2tra2tra2tra2tra2tra2tr",
                             "a2tra2tra2tra2tra2tra2tra2tra2tra2tra2tra2s= x"})
        EXPECT_FALSE(DecodePublicKey(text).has_value()) << text;
}

// A key pair, an installer and its signature as published before the
// verifier changed: what was signed then stays valid.
TEST(InstallerSignature, SignaturesPublishedBeforeStayValid)
{
    QByteArray installer(300'000, '\0');
    for (qsizetype i = 0; i < installer.size(); ++i)
        installer[i] = static_cast<char>((i * 7 + 3) % 251);
    const QString publicKey = QStringLiteral("4sujGXXLpl5L0b5ugzrtCNZ4VK4sK/TvRilXkcVIYCU=");
    const QString signature = QStringLiteral(
        "4d1QmPh/D7mXTt1TzZaR2nHLYwUOx2qL8vhAN3wsNzxSZ9VqLxpHQC9VenwmHCDLd6FNj2Y/othzUEKMVf5uAQ==");
    EXPECT_EQ(Check(installer, signature, publicKey), TSignatureCheck::Valid);
    installer[299'999] = static_cast<char>(installer[299'999] ^ 0x40);
    EXPECT_EQ(Check(installer, signature, publicKey), TSignatureCheck::Invalid);
}

TEST(PublisherTool, SignaturesItMakesAreThoseTheCheckAccepts)
{
    QTemporaryDir folder;
    const QString secretKey = folder.filePath(QStringLiteral("publisher.key"));
    const QString publicKey = ValueOf(Tool({QStringLiteral("keygen"), secretKey}), QStringLiteral("QUORVEX_UPDATE_PUBLIC_KEY"));
    ASSERT_TRUE(DecodePublicKey(publicKey.toStdString()).has_value()) << publicKey.toStdString();
    EXPECT_EQ(QFile::permissions(secretKey), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                                 | QFileDevice::WriteUser);

    const QString installerPath = folder.filePath(QStringLiteral("QuorvexSetup.exe"));
    QFile installer(installerPath);
    ASSERT_TRUE(installer.open(QIODevice::WriteOnly));
    installer.write(Installer());
    installer.close();
    const QString signature =
        ValueOf(Tool({QStringLiteral("sign"), secretKey, installerPath}), QStringLiteral("EdSignature"));
    EXPECT_EQ(Check(Installer(), signature, publicKey), TSignatureCheck::Valid);
    EXPECT_EQ(Check(Installer() + "x", signature, publicKey), TSignatureCheck::Invalid);

    // A second key pair never replaces the first.
    QString errors;
    EXPECT_FALSE(Tool({QStringLiteral("keygen"), secretKey}, &errors).has_value());
    EXPECT_TRUE(errors.startsWith(QStringLiteral("quorvex-update-sign: Cannot rename"))) << errors.toStdString();
    EXPECT_EQ(Check(Installer(), ValueOf(Tool({QStringLiteral("sign"), secretKey, installerPath}), QStringLiteral("EdSignature")),
                    publicKey),
              TSignatureCheck::Valid);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
}  // namespace quorvex::test
