// The download of a newer installer against nginx on loopback: from the
// notification window's Download button, and the download window on its own
// for the transfer's outcomes.
#include "Signing.h"
#include "UpdateSite.h"
#include "http/HttpCli.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"
#include "ui/qt/update/VelkAppUpdateNotify.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>

#include <zlib.h>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

const TShownMessage kCorrupted{QStringLiteral("Error"), QStringLiteral("The downloaded file is corrupted."),
                               TMsgDlgType::Error, TMsgDlgButtons::Ok};
const TShownMessage kCancelQuestion{QStringLiteral("Confirm"), QStringLiteral("Do you want to cancel the download?"),
                                    TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo};
const TShownMessage kNotCompleted{QStringLiteral("Error"), QStringLiteral("The update was not completed."),
                                  TMsgDlgType::Error, TMsgDlgButtons::Ok};

QString Crc32Text(const QByteArray& bytes)
{
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.constData()),
                            static_cast<uInt>(bytes.size()));
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

QString HashText(const QByteArray& bytes, QCryptographicHash::Algorithm algorithm)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, algorithm).toHex().toUpper());
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UpdateDownload : public UpdateSite {
protected:
    QString Target(const char* name) const { return DownloadFolderPath() + QLatin1Char('/') + QLatin1String(name); }

    // Downloads with a download window of the test's own, as the
    // notification window's Download button does.
    void Download(const QString& url, const TInstallerCheck& check = {})
    {
        box.Download(url, SystemSpecialFolders(), check);
    }

    std::vector<TShellRequest> Started(const char* name) const
    {
        return {{QStringLiteral("open"), Target(name), SW_SHOWNORMAL}};
    }

    TVelkAppUpdateDownloadBox box{seams.Update};
};

struct TChecksumCase {
    const char* Name;
    THashType HashType;
    // The update information's checksum of the installer; "" when it matches.
    const char* Stated;
    bool Started;
};

void PrintTo(const TChecksumCase& c, std::ostream* out)
{
    *out << c.Name;
}

class DownloadFromTheNotification : public UpdateDownload, public testing::WithParamInterface<TChecksumCase> {};

// The Download button downloads the installer and verifies it; a good one
// is started while the application closes, a bad one is deleted.
TEST_P(DownloadFromTheNotification, VerifiesAndStartsTheInstaller)
{
    const QByteArray installer = RandomBytes(300'000);
    Serve(Mine(QStringLiteral("QuorvexSetup.exe")), installer);
    QString crc = Crc32Text(installer), md5 = HashText(installer, QCryptographicHash::Md5),
            sha1 = HashText(installer, QCryptographicHash::Sha1);
    QString& stated = GetParam().HashType == THashType::CRC32 ? crc : GetParam().HashType == THashType::MD5 ? md5 : sha1;
    if (*GetParam().Stated != '\0')
        stated = QString::fromLatin1(GetParam().Stated) == QLatin1String("lower") ? stated.toLower()
                                                                                  : QString::fromLatin1(GetParam().Stated);
    if (stated == QLatin1String("none"))
        stated.clear();
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"},
                      {"DownloadFileURL", Url(Mine(QStringLiteral("QuorvexSetup.exe")))},
                      {"CRC32Hash", crc},
                      {"MD5Hash", md5},
                      {"SHA1Hash", sha1}}));
    update.SetHashType(GetParam().HashType);
    // While the last message is up, the notification window is still behind
    // the download window.
    bool notificationBehind = false;
    seams.Messages->WhileOpen = [&](const TShownMessage&) {
        notificationBehind = VisibleWindow<TVelkAppUpdateNotifyBox>() != nullptr
                             && VisibleWindow<TVelkAppUpdateDownloadBox>() != nullptr;
    };
    TWhenShown<TVelkAppUpdateNotifyBox> whenShown([](TVelkAppUpdateNotifyBox& notify) {
        QTimer::singleShot(0, notify.DownloadButton, &QPushButton::click);
    });

    EXPECT_TRUE(update.Execute(true));
    EXPECT_TRUE(notificationBehind);
    EXPECT_EQ(VisibleWindow<TVelkAppUpdateNotifyBox>(), nullptr);
    if (GetParam().Started) {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kWillClose});
        EXPECT_EQ(seams.Application->Requests, 1);
        EXPECT_EQ(seams.Shell->Requests, Started("QuorvexSetup.exe"));
        EXPECT_EQ(FileBytes(Target("QuorvexSetup.exe")), installer);
    } else {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kCorrupted});
        EXPECT_EQ(seams.Application->Requests, 0);
        EXPECT_TRUE(seams.Shell->Requests.empty());
        EXPECT_TRUE(Downloaded().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Checksums, DownloadFromTheNotification,
    testing::Values(TChecksumCase{"NoChecksum", THashType::None, "none", true},
                    TChecksumCase{"Crc32", THashType::CRC32, "", true}, TChecksumCase{"Md5", THashType::MD5, "", true},
                    TChecksumCase{"Sha1", THashType::SHA1, "", true},
                    TChecksumCase{"Crc32Wrong", THashType::CRC32, "0BADC0DE", false},
                    TChecksumCase{"Md5LowerCase", THashType::MD5, "lower", false},
                    TChecksumCase{"Sha1Missing", THashType::SHA1, "none", false}));

struct TSignatureCase {
    const char* Name;
    bool KeyConfigured;
    const char* Signed;  // "publisher", "other" (another key), "tampered" (other bytes), "garbage" or "" (none)
    bool CorruptChecksum;  // a CRC-32 check that fails
    std::optional<TShownMessage> Refusal;  // none: the installer is started
};

void PrintTo(const TSignatureCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SignedDownload : public UpdateDownload, public testing::WithParamInterface<TSignatureCase> {};

// With the publisher's key configured, only an installer with the
// publisher's signature of its very bytes is given its name and started;
// the checksum rule still applies. Without a key, signatures are not looked at.
TEST_P(SignedDownload, OnlyThePublishersInstallerIsStarted)
{
    const TKeyPair publisher = NewKeyPair();
    const QByteArray installer = RandomBytes(250'000);
    Serve(Mine(QStringLiteral("QuorvexSetup.exe")), installer);
    const QString kind = QString::fromLatin1(GetParam().Signed);
    QString signature;
    if (kind == QLatin1String("publisher"))
        signature = Signature(installer, publisher);
    else if (kind == QLatin1String("other"))
        signature = Signature(installer, NewKeyPair());
    else if (kind == QLatin1String("tampered"))
        signature = Signature(RandomBytes(250'001).left(250'000), publisher);
    else if (kind == QLatin1String("garbage"))
        signature = QStringLiteral("not a signature");
    QList<QPair<QString, QString>> keys{{"Version", "1.0.5.0"},
                                        {"DownloadFileURL", Url(Mine(QStringLiteral("QuorvexSetup.exe")))},
                                        {"CRC32Hash", GetParam().CorruptChecksum ? "0BADC0DE" : Crc32Text(installer)}};
    if (!signature.isEmpty())
        keys.append({QStringLiteral("EdSignature"), signature});
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), UpdateInfo(keys));
    update.SetHashType(THashType::CRC32);
    if (GetParam().KeyConfigured)
        update.SetUpdatePublicKey(publisher.PublicKey);

    EXPECT_TRUE(CheckAndDownload());
    if (!GetParam().Refusal) {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kWillClose});
        EXPECT_EQ(seams.Shell->Requests, Started("QuorvexSetup.exe"));
        EXPECT_EQ(FileBytes(Target("QuorvexSetup.exe")), installer);
    } else {
        EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{*GetParam().Refusal});
        EXPECT_EQ(seams.Application->Requests, 0);
        EXPECT_TRUE(seams.Shell->Requests.empty());
        EXPECT_TRUE(Downloaded().isEmpty()) << Downloaded().join(u' ').toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SignedDownload,
    testing::Values(TSignatureCase{"Signed", true, "publisher", false, std::nullopt},
                    TSignatureCase{"Unsigned", true, "", false, kNotSigned},
                    TSignatureCase{"Tampered", true, "tampered", false, kNotThePublishers},
                    TSignatureCase{"WrongKey", true, "other", false, kNotThePublishers},
                    TSignatureCase{"Garbage", true, "garbage", false, kNotThePublishers},
                    TSignatureCase{"SignedButCorrupted", true, "publisher", true, kCorrupted},
                    TSignatureCase{"NoKeyUnsigned", false, "", false, std::nullopt},
                    TSignatureCase{"NoKeyGarbage", false, "garbage", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

// A download target that cannot be created ends the download; its error
// leaves the check once the notification window has closed.
TEST_F(UpdateDownload, TargetThatCannotBeCreatedLeavesTheCheck)
{
    Serve(Mine(QStringLiteral("setup.exe")), RandomBytes(1000));
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"DownloadFileURL", Url(Mine(QStringLiteral("setup.exe")))}}));
    ASSERT_TRUE(QDir(DownloadFolderPath()).mkdir(QStringLiteral("setup.exe")));
    TWhenShown<TVelkAppUpdateNotifyBox> whenShown([](TVelkAppUpdateNotifyBox& notify) {
        QTimer::singleShot(0, notify.DownloadButton, &QPushButton::click);
    });
    try {
        update.Execute(true);
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(Target("setup.exe"))))
            << error.what();
    }
    EXPECT_EQ(whenShown.Times(), 1);
    EXPECT_EQ(VisibleWindow<TVelkAppUpdateNotifyBox>(), nullptr);
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_TRUE(seams.Shell->Requests.empty());
}

// A server that closes the connection before the announced size has come:
// the transfer counts as complete, and only a checksum finds the shortfall.
TEST_F(UpdateDownload, TransferCutShort)
{
    Download(Url(QStringLiteral("short.exe")));
    EXPECT_EQ(box.TransferLabel->text(), QStringLiteral("27 B of 4 KB (0%)"));
    EXPECT_EQ(seams.Messages->Shown, std::vector<TShownMessage>{kWillClose});
    EXPECT_EQ(seams.Shell->Requests, Started("short.exe"));
    EXPECT_EQ(FileBytes(Target("short.exe")), QByteArray("only part of the installer\n"));

    TFakeUpdateSeams verifying;
    TVelkAppUpdateDownloadBox verifyingBox(verifying.Update);
    QFile::remove(Target("short.exe"));
    verifyingBox.Download(Url(QStringLiteral("short.exe")), SystemSpecialFolders(),
                          {THashType::CRC32, Crc32Text(RandomBytes(4096)).toStdString(), {}, {}});
    EXPECT_EQ(verifying.Messages->Shown, std::vector<TShownMessage>{kCorrupted});
    EXPECT_TRUE(Downloaded().isEmpty());
}

// Without a usable size from the size request nothing is transferred or
// shown, and the empty target made for it does not stay.
TEST_F(UpdateDownload, NoSizeNoTransfer)
{
    for (const QString& url : {Url(Mine(QStringLiteral("missing.exe"))), Url(QStringLiteral("nolength.exe"))}) {
        TShownWindows shown;
        Download(url);
        EXPECT_TRUE(shown.Classes.isEmpty()) << url.toStdString();
        EXPECT_TRUE(seams.Messages->Shown.empty()) << url.toStdString();
        EXPECT_TRUE(seams.Shell->Requests.empty()) << url.toStdString();
        EXPECT_TRUE(Downloaded().isEmpty()) << url.toStdString();
        EXPECT_EQ(box.HttpCli1->RcvdCount(), 0);
    }
    EXPECT_FALSE(AccessLog().contains(QStringLiteral("GET /nolength.exe ")));
}

// The transfer itself fails: the status shows why, no message, no file.
TEST_F(UpdateDownload, FailedTransfer)
{
    Serve(Mine(QStringLiteral("setup.exe"), QStringLiteral("getfails")), RandomBytes(5000));
    Download(Url(Mine(QStringLiteral("setup.exe"), QStringLiteral("getfails"))));
    EXPECT_EQ(box.StatusLabel->text(), QStringLiteral("Failed: 503 Service Temporarily Unavailable"));
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_TRUE(Downloaded().isEmpty());
}

// The notification window hands its proxy on to the download.
TEST_F(UpdateDownload, ThroughTheProxy)
{
    const QByteArray installer = RandomBytes(100'000);
    Serve(Mine(QStringLiteral("setup.exe")), installer);
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
          UpdateInfo({{"Version", "1.0.5.0"}, {"DownloadFileURL", Url(Mine(QStringLiteral("setup.exe")))}}));
    update.SetProxyAddress(QStringLiteral("127.0.0.1"));
    update.SetProxyPort(proxyPort);
    QStringList labels;
    seams.Messages->WhileOpen = [&](const TShownMessage&) {
        if (const TVelkAppUpdateDownloadBox* window = VisibleWindow<TVelkAppUpdateDownloadBox>())
            labels = {window->FileLabel->text(), window->StatusLabel->text(), window->TransferLabel->text()};
    };
    TWhenShown<TVelkAppUpdateNotifyBox> whenShown([](TVelkAppUpdateNotifyBox& notify) {
        QTimer::singleShot(0, notify.DownloadButton, &QPushButton::click);
    });
    const QString proxied = QStringLiteral("GET %1 HTTP/1.0").arg(Url(Mine(QStringLiteral("setup.exe"))));
    const qsizetype proxiedBefore = PeerLog("proxy/stdout.log").count(proxied);

    EXPECT_TRUE(update.Execute(true));
    EXPECT_EQ(labels, (QStringList{QStringLiteral("setup.exe"),
                                   QStringLiteral("Downloading file using proxy server (127.0.0.1:%1)").arg(proxyPort),
                                   QStringLiteral("97 KB of 97 KB (100%)")}));
    EXPECT_EQ(PeerLog("proxy/stdout.log").count(proxied) - proxiedBefore, 1);
    EXPECT_EQ(FileBytes(Target("setup.exe")), installer);
    EXPECT_EQ(seams.Shell->Requests, Started("setup.exe"));
}

// A slow download, watched: the window shows while it runs, the amount and
// the bar follow each block, the timer shows time and speed.
TEST_F(UpdateDownload, ProgressWhileItRuns)
{
    const int size = 160 * 1024;
    QStringList transfers;
    QList<int> positions;
    QStringList elapsed;
    QStringList speeds;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        if (!box.isVisible())
            return;
        transfers.append(box.TransferLabel->text());
        positions.append(box.ProgressBar1->value());
        elapsed.append(box.ElapsedTimeLabel->text());
        speeds.append(box.SpeedLabel->text());
    });
    sampler.start(50);
    Download(Url(QStringLiteral("slow.exe")));

    ASSERT_GE(positions.size(), 10);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GT(std::set<int>(positions.begin(), positions.end()).size(), 3u);
    EXPECT_EQ(box.ProgressBar1->maximum(), size);
    const QRegularExpression partway(QStringLiteral("^[0-9]+ (B|KB) of 160 KB \\(([1-9]|[1-9][0-9])%\\)$"));
    EXPECT_TRUE(std::any_of(transfers.begin(), transfers.end(), [&](const QString& t) { return partway.match(t).hasMatch(); }))
        << transfers.join(u' ').toStdString();
    EXPECT_TRUE(elapsed.contains(QStringLiteral("00:00:01"))) << elapsed.join(u' ').toStdString();
    const QRegularExpression speed(QStringLiteral("^[1-9][0-9]* KB/sec$"));
    EXPECT_TRUE(std::any_of(speeds.begin(), speeds.end(), [&](const QString& s) { return speed.match(s).hasMatch(); }))
        << speeds.join(u' ').toStdString();
    EXPECT_EQ(box.TransferLabel->text(), QStringLiteral("160 KB of 160 KB (100%)"));
    EXPECT_EQ(seams.Shell->Requests, Started("slow.exe"));
    EXPECT_EQ(FileBytes(Target("slow.exe")), QByteArray(size, 'q'));
}

// Cancel asks first; No goes on, Yes discards the download.
TEST_F(UpdateDownload, Cancelled)
{
    seams.Messages->Answers = {TModalResult::No, TModalResult::Yes};
    bool wentOn = false;
    TWhenShown<TVelkAppUpdateDownloadBox> whenShown([&](TVelkAppUpdateDownloadBox& window) {
        window.CancelButton->click();
        wentOn = window.CancelButton->isEnabled() && window.Timer1->isActive();
        window.CancelButton->click();
    });
    Download(Url(QStringLiteral("slow.exe")));
    EXPECT_TRUE(wentOn);
    EXPECT_EQ(seams.Messages->Shown, (std::vector<TShownMessage>{kCancelQuestion, kCancelQuestion, kNotCompleted}));
    EXPECT_FALSE(box.CancelButton->isEnabled());
    EXPECT_EQ(seams.Application->Requests, 0);
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_TRUE(Downloaded().isEmpty());
}

// The transfer goes on behind the cancel question; a download that arrived
// whole meanwhile is still discarded.
TEST_F(UpdateDownload, CancelledAfterItArrivedWhole)
{
    seams.Messages->Answers = {TModalResult::Yes};
    std::int64_t arrived = 0;
    seams.Messages->WhileOpen = [&](const TShownMessage& message) {
        const QDeadlineTimer deadline(20000);
        while (message == kCancelQuestion && box.HttpCli1->State() != httpReady && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (message == kCancelQuestion)
            arrived = box.HttpCli1->RcvdCount();
    };
    TWhenShown<TVelkAppUpdateDownloadBox> whenShown([](TVelkAppUpdateDownloadBox& window) {
        window.CancelButton->click();
    });
    Download(Url(QStringLiteral("slow.exe")));
    EXPECT_EQ(arrived, 160 * 1024);
    EXPECT_EQ(seams.Messages->Shown, (std::vector<TShownMessage>{kCancelQuestion, kNotCompleted}));
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_TRUE(Downloaded().isEmpty());
}

// Closing the window while it transfers is the Cancel button.
TEST_F(UpdateDownload, ClosingTheWindowAsksToCancel)
{
    seams.Messages->Answers = {TModalResult::No, TModalResult::Yes};
    bool stayed = false;
    TWhenShown<TVelkAppUpdateDownloadBox> whenShown([&](TVelkAppUpdateDownloadBox& window) {
        window.close();
        stayed = window.isVisible();
        window.close();
    });
    Download(Url(QStringLiteral("slow.exe")));
    EXPECT_TRUE(stayed);
    EXPECT_EQ(seams.Messages->Shown, (std::vector<TShownMessage>{kCancelQuestion, kCancelQuestion, kNotCompleted}));
    EXPECT_TRUE(Downloaded().isEmpty());
}

}  // namespace
}  // namespace quorvex::test
