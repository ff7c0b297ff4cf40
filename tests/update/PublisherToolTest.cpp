// The publisher's tool quorvex-update-sign, whose keys and signatures the
// verifier must accept.
#include "SignatureCases.h"
#include "Signing.h"
#include "update/InstallerSignature.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

TEST(PublisherTool, SignaturesItMakesAreThoseTheCheckAccepts)
{
    QTemporaryDir folder;
    const QString secretKey = folder.filePath(QStringLiteral("publisher.key"));
    const std::string publicKey =
        ValueOf(Tool({QStringLiteral("keygen"), secretKey}), QStringLiteral("QUORVEX_UPDATE_PUBLIC_KEY")).toStdString();
    ASSERT_TRUE(DecodePublicKey(publicKey).has_value()) << publicKey;
    EXPECT_EQ(QFile::permissions(secretKey), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                                 | QFileDevice::WriteUser);

    const QString installerPath = folder.filePath(QStringLiteral("QuorvexSetup.exe"));
    QFile installer(installerPath);
    ASSERT_TRUE(installer.open(QIODevice::WriteOnly));
    installer.write(QByteArray::fromStdString(Installer()));
    installer.close();
    const auto signatureOf = [&] {
        return ValueOf(Tool({QStringLiteral("sign"), secretKey, installerPath}), QStringLiteral("EdSignature")).toStdString();
    };
    const std::string signature = signatureOf();
    EXPECT_EQ(Check(Installer(), signature, publicKey), TSignatureCheck::Valid);
    EXPECT_EQ(Check(Installer() + "x", signature, publicKey), TSignatureCheck::Invalid);

    // A second key pair never replaces the first.
    QString errors;
    EXPECT_FALSE(Tool({QStringLiteral("keygen"), secretKey}, &errors).has_value());
    EXPECT_TRUE(errors.startsWith(QStringLiteral("quorvex-update-sign: Cannot rename"))) << errors.toStdString();
    EXPECT_EQ(Check(Installer(), signatureOf(), publicKey), TSignatureCheck::Valid);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
}  // namespace quorvex::test
