// The README's publishing steps end to end, as a publisher runs them: the
// key pair made by quorvex-update-sign keygen and the build configured with
// the public key it printed (the ctest fixture update_publisher, in
// QUORVEX_PUBLISHER_DIR), then an installer signed by quorvex-update-sign
// sign, uploaded, and offered with the printed line in the update section.
#include "Signing.h"
#include "UpdateSite.h"
#include "update/InstallerSignature.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>

namespace quorvex::test {
namespace {

QString PublisherDir()
{
    return qEnvironmentVariable("QUORVEX_PUBLISHER_DIR");
}

// The public key that the publisher's build carries, read from its
// generated BuildConfig.h.
QString BuildPublicKey()
{
    QFile config(PublisherDir() + QStringLiteral("/build/generated/quorvex/BuildConfig.h"));
    if (!config.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression key(QStringLiteral("kUpdatePublicKey\\[\\] = \"([^\"]*)\";"));
    return key.match(QString::fromLatin1(config.readAll())).captured(1);
}

struct TPublishCase {
    const char* Name;
    const char* SignedWith;  // "publisher", "other" (a key pair of its own) or "" (not signed)
    bool Tampered;  // the uploaded installer differs from the signed one by a bit
    std::optional<TShownMessage> Refusal;  // none: the installer is started
};

void PrintTo(const TPublishCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PublishedUpdate : public UpdateSite, public testing::WithParamInterface<TPublishCase> {};

TEST_P(PublishedUpdate, TheBuildsKeyAcceptsOnlyItsPublishersInstaller)
{
    const QString publicKey = BuildPublicKey();
    ASSERT_TRUE(DecodePublicKey(publicKey.toStdString()).has_value())
        << "no key in the build that the ctest fixture update_publisher configures: \"" << publicKey.toStdString() << '"';
    const QString signedWith = QString::fromLatin1(GetParam().SignedWith);
    QString secretKey = PublisherDir() + QStringLiteral("/publisher.key");
    if (signedWith == QLatin1String("other")) {
        secretKey = home.filePath(QStringLiteral("other.key"));
        ASSERT_FALSE(ValueOf(Tool({QStringLiteral("keygen"), secretKey}), QStringLiteral("QUORVEX_UPDATE_PUBLIC_KEY")).isEmpty());
    }
    QByteArray installer = RandomBytes(250'000);
    const QString publishersCopy = home.filePath(QStringLiteral("QuorvexSetup.exe"));
    {
        QFile file(publishersCopy);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(installer), installer.size());
    }
    QByteArray printedLine;
    if (!signedWith.isEmpty()) {
        const std::optional<QString> printed = Tool({QStringLiteral("sign"), secretKey, publishersCopy});
        ASSERT_FALSE(ValueOf(printed, QStringLiteral("EdSignature")).isEmpty()) << printed.value_or(QString()).toStdString();
        printedLine = printed->toLatin1();
    }
    if (GetParam().Tampered)
        installer[123'456] = static_cast<char>(installer[123'456] ^ 1);
    Serve(Mine(QStringLiteral("QuorvexSetup.exe")), installer);
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"DownloadFileURL", Url(Mine(QStringLiteral("QuorvexSetup.exe")))}})
              + printedLine);
    // As the main window gives its checker the build's key.
    update.SetUpdatePublicKey(publicKey);

    EXPECT_TRUE(CheckAndDownload());
    const QString target = DownloadFolderPath() + QStringLiteral("/QuorvexSetup.exe");
    if (!GetParam().Refusal) {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kWillClose});
        EXPECT_EQ(seams.Shell->Requests, (std::vector<TShellRequest>{{QStringLiteral("open"), target, SW_SHOWNORMAL}}));
        QFile saved(target);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_EQ(saved.readAll(), installer);
    } else {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{*GetParam().Refusal});
        EXPECT_TRUE(seams.Shell->Requests.empty());
        EXPECT_TRUE(Downloaded().isEmpty()) << Downloaded().join(u' ').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Installers, PublishedUpdate,
    testing::Values(TPublishCase{"SignedByThePublisher", "publisher", false, std::nullopt},
                    TPublishCase{"Unsigned", "", false, kNotSigned},
                    TPublishCase{"SignedWithAnotherKey", "other", false, kNotThePublishers},
                    TPublishCase{"TamperedAfterSigning", "publisher", true, kNotThePublishers}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
