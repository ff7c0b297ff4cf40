// The update path tried as another user on the same machine and as a hostile
// or slow site would: links and files planted where the installer is saved,
// update files too large to read, a site that trickles, a name server that
// never answers, a disk that is full.
#include "HangingResolver.h"
#include "UpdateSite.h"
#include "tests/http/peers/Peers.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

constexpr uid_t kOtherUser = 65534;  // nobody

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat LinkStatus(const QString& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.toLocal8Bit().constData(), &info), 0) << path.toStdString();
    return info;
}

class UpdateSafety : public UpdateSite {
protected:
    // Serves an installer and update information that offers it as newer.
    QByteArray ServeInstaller(const QString& downloadUrl)
    {
        const QByteArray installer = RandomBytes(200'000);
        Serve(Mine(QStringLiteral("QuorvexSetup.exe")), installer);
        Serve(Mine(QStringLiteral("QuorvexUpdate.txt")),
              UpdateInfo({{"Version", "1.0.5.0"}, {"DownloadFileURL", downloadUrl}}));
        return installer;
    }

    // A file of the size that takes no room: nginx serves its zeros.
    void ServeSparse(const QString& path, qint64 size) const
    {
        Serve(path, QByteArray());
        QFile file(PeerDir() + QStringLiteral("/nginx/root/") + path);
        ASSERT_TRUE(file.resize(size));
    }

    // The body bytes that nginx says it sent for a request, once it logged it.
    qint64 BytesSent(const QString& request) const
    {
        LoggedRequests(request, 1);
        const QRegularExpression line(QRegularExpression::escape(request) + QStringLiteral("[^\"]*\" [0-9]+ ([0-9]+)"));
        const QRegularExpressionMatch match = line.match(AccessLog());
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

    QString Folder(const char* relative) const { return home.filePath(QLatin1String(relative)); }
};

// The folders where an installer may be saved, in their order of choice; the
// test keeps only the one it names.
struct TPlantCase {
    const char* Name;
    const char* Folder;  // under the test's home
    bool Link;  // a link to another file, else another user's file of mode 0666
};

void PrintTo(const TPlantCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PlantedInstaller : public UpdateSafety, public testing::WithParamInterface<TPlantCase> {};

// Whatever another user planted under the installer's name is neither
// written through nor started: the download replaces the name with a file
// of its own, which alone is started.
TEST_P(PlantedInstaller, IsReplacedNeverFollowedOrStarted)
{
    ASSERT_TRUE(QDir(DownloadFolderPath()).removeRecursively());
    const QString folder = Folder(GetParam().Folder);
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(folder.toLocal8Bit().constData(), 0700), 0);
    const QString target = folder + QStringLiteral("/QuorvexSetup.exe");
    const QString victim = Folder("victim.txt");
    const QString kept = Folder("kept.exe");
    {
        QFile file(victim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("the other user's precious file");
    }
    if (GetParam().Link) {
        ASSERT_TRUE(QFile::link(victim, target));
    } else {
        QFile planted(target);
        ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
        planted.write("a planted program");
        planted.close();
        ASSERT_EQ(::chmod(target.toLocal8Bit().constData(), 0666), 0);
        ASSERT_EQ(::chown(target.toLocal8Bit().constData(), kOtherUser, kOtherUser), 0);
        ASSERT_EQ(::link(target.toLocal8Bit().constData(), kept.toLocal8Bit().constData()), 0);
    }
    const QByteArray installer = ServeInstaller(Url(Mine(QStringLiteral("QuorvexSetup.exe"))));

    EXPECT_TRUE(CheckAndDownload());

    EXPECT_EQ(seams.Shell->Requests, (std::vector<TShellRequest>{{QStringLiteral("open"), target, SW_SHOWNORMAL}}));
    const struct stat saved = LinkStatus(target);
    EXPECT_TRUE(S_ISREG(saved.st_mode));
    EXPECT_EQ(saved.st_uid, ::geteuid());
    EXPECT_EQ(saved.st_mode & 07777, 0600u);
    EXPECT_EQ(FileBytes(target), installer);
    EXPECT_EQ(FileBytes(victim), QByteArray("the other user's precious file"));
    if (!GetParam().Link) {
        EXPECT_EQ(FileBytes(kept), QByteArray("a planted program"));
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("QuorvexSetup.exe")});
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PlantedInstaller,
    testing::Values(TPlantCase{"DataDownloadsLink", "data/Downloaded Installations", true},
                    TPlantCase{"DataDownloadsFile", "data/Downloaded Installations", false},
                    TPlantCase{"DataTempLink", "data/Temp", true},
                    TPlantCase{"DataTempFile", "data/Temp", false},
                    TPlantCase{"WindowsDownloadsLink", "wine/drive_c/windows/Downloaded Installations", true},
                    TPlantCase{"WindowsDownloadsFile", "wine/drive_c/windows/Downloaded Installations", false},
                    TPlantCase{"PrivateTempLink", "cache/quorvex", true},
                    TPlantCase{"PrivateTempFile", "cache/quorvex", false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TLinkedFolderCase {
    const char* Name;
    const char* Link;  // under the test's home: a candidate download folder made a link
};

void PrintTo(const TLinkedFolderCase& c, std::ostream* out)
{
    *out << c.Name;
}

class LinkedDownloadFolder : public UpdateSafety, public testing::WithParamInterface<TLinkedFolderCase> {};

// A download folder that is a link, even to a private folder of this user,
// is not used: the installer is saved in and started from the private
// temporary folder, and nothing reaches the folder the link leads to.
TEST_P(LinkedDownloadFolder, IsNotUsed)
{
    ASSERT_TRUE(QDir(DownloadFolderPath()).removeRecursively());
    const QString elsewhere = Folder("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_EQ(::chmod(elsewhere.toLocal8Bit().constData(), 0700), 0);
    ASSERT_TRUE(QFile::link(elsewhere, Folder(GetParam().Link)));
    const QByteArray installer = ServeInstaller(Url(Mine(QStringLiteral("QuorvexSetup.exe"))));

    EXPECT_TRUE(CheckAndDownload());

    const QString target = TemporaryFolderPath() + QStringLiteral("/QuorvexSetup.exe");
    EXPECT_EQ(seams.Shell->Requests, (std::vector<TShellRequest>{{QStringLiteral("open"), target, SW_SHOWNORMAL}}));
    EXPECT_EQ(FileBytes(target), installer);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, LinkedDownloadFolder,
    testing::Values(TLinkedFolderCase{"DataDownloads", "data/Downloaded Installations"},
                    TLinkedFolderCase{"WindowsDownloads", "wine/drive_c/windows/Downloaded Installations"}),
    [](const auto& info) { return std::string(info.param.Name); });

// The download folder held open while the installer arrives: replacing it by
// a link to another folder during the transfer sends nothing there, the
// checksum is taken of the file that arrived, and the installer, saved in
// the folder that was checked, is not started through the link.
TEST_F(UpdateSafety, DownloadFolderReplacedByALinkWhileSavingIsNotFollowed)
{
    const QString folder = DownloadFolderPath();
    const QString moved = Folder("moved");
    const QString elsewhere = Folder("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_EQ(::chmod(elsewhere.toLocal8Bit().constData(), 0700), 0);
    bool swapped = false;
    TWhenShown<TVelkAppUpdateDownloadBox> whenShown([&](TVelkAppUpdateDownloadBox&) {
        swapped = QDir().rename(folder, moved) && QFile::link(elsewhere, folder);
    });
    TVelkAppUpdateDownloadBox box(seams.Update);
    try {
        const QByteArray md5 = QCryptographicHash::hash(QByteArray(163840, 'q'), QCryptographicHash::Md5);
        box.Download(Url(QStringLiteral("slow.exe")), SystemSpecialFolders(),
                     {THashType::MD5, md5.toHex().toUpper().toStdString(), {}, {}});
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(QString::fromStdString(error.what()),
                  QStringLiteral("The folder \"%1\" was replaced while the update was saved in it.").arg(folder));
    }
    EXPECT_TRUE(swapped);
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_EQ(seams.Application->Requests, 0);
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_EQ(QDir(moved).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("slow.exe")});
    EXPECT_EQ(FileBytes(moved + QStringLiteral("/slow.exe")), QByteArray(163840, 'q'));
}

// A download that fails or is found corrupt leaves a file that already had
// the installer's name as it was, and nothing of its own.
TEST_F(UpdateSafety, FailedDownloadKeepsTheFileOfThatName)
{
    const QString existing = DownloadFolderPath() + QStringLiteral("/setup.exe");
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("an unrelated file");
    }
    Serve(Mine(QStringLiteral("setup.exe"), QStringLiteral("getfails")), RandomBytes(5000));
    Serve(Mine(QStringLiteral("setup.exe")), RandomBytes(5000));
    const QString failing = Url(Mine(QStringLiteral("setup.exe"), QStringLiteral("getfails")));
    const QString corrupt = Url(Mine(QStringLiteral("setup.exe")));
    for (const auto& [url, check] : {std::pair{failing, TInstallerCheck{}},
                                     std::pair{corrupt, TInstallerCheck{THashType::CRC32, "0BADC0DE", {}, {}}}}) {
        TVelkAppUpdateDownloadBox box(seams.Update);
        box.Download(url, SystemSpecialFolders(), check);
        EXPECT_EQ(FileBytes(existing), QByteArray("an unrelated file")) << url.toStdString();
        EXPECT_EQ(Downloaded(), QStringList{QStringLiteral("setup.exe")}) << url.toStdString();
    }
    EXPECT_TRUE(seams.Shell->Requests.empty());
}

struct TLimitCase {
    const char* Name;
    bool Readme;  // else the update information file is the large one
    const char* Message;  // "%1": the large file's URL
};

void PrintTo(const TLimitCase& c, std::ostream* out)
{
    *out << c.Name;
}

class SizeLimit : public UpdateSafety, public testing::WithParamInterface<TLimitCase> {};

// An update information file or readme larger than any real one stops its
// transfer at once and ends the check with an error that says so.
TEST_P(SizeLimit, StopsTheTransferAndTheCheck)
{
    const QString large = Mine(QStringLiteral("large.txt"));
    ServeSparse(large, 300LL * 1024 * 1024);
    if (GetParam().Readme)
        Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), UpdateInfo({{"Version", "1.0.5.0"}, {"ReadmeFileURL", Url(large)}}));
    else
        update.SetUpdateFileURL(Url(large));
    TShownWindows shown;
    try {
        update.Execute(true);
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_EQ(QString::fromStdString(error.what()), QString::fromLatin1(GetParam().Message).arg(Url(large)));
    }
    EXPECT_TRUE(shown.Classes.isEmpty()) << shown.Classes.join(u' ').toStdString();
    EXPECT_TRUE(seams.Messages->Shown.empty());
    const qint64 sent = BytesSent(QStringLiteral("GET /%1 ").arg(large));
    EXPECT_GE(sent, 0);
    EXPECT_LT(sent, 64LL * 1024 * 1024) << "the transfer went on";
}

INSTANTIATE_TEST_SUITE_P(
    Files, SizeLimit,
    testing::Values(TLimitCase{"UpdateInformation", false, "The update information file at %1 is larger than 256 KB."},
                    TLimitCase{"Readme", true, "The readme at %1 is larger than 1024 KB."}),
    [](const auto& info) { return std::string(info.param.Name); });

// The silent start-up check has its time; a site that sends a line every
// 20 seconds ends it silently when that time is up.
TEST_F(UpdateSafety, TricklingSiteEndsTheSilentCheckAtItsDeadline)
{
    update.SetUpdateFileURL(Url(QStringLiteral("trickle.txt")));
    std::optional<std::chrono::milliseconds> asked;
    QTimer::singleShot(300, [&] {
        asked = seams.Deadline->Running;
        seams.Deadline->Expire();
    });
    TShownWindows shown;
    EXPECT_FALSE(update.Execute(true));
    EXPECT_EQ(asked, std::chrono::milliseconds(TVelkAppUpdate::kSilentCheckTime));
    EXPECT_TRUE(shown.Classes.isEmpty()) << shown.Classes.join(u' ').toStdString();
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_FALSE(seams.Deadline->Running.has_value());
}

// Name resolution is part of that time.
TEST_F(UpdateSafety, UnansweredNameServerEndsTheSilentCheckAtItsDeadline)
{
    // The lookup is let go, and its thread done with it, before the test ends.
    const auto answer = qScopeGuard([] {
        AnswerUnansweredLookups();
        const QDeadlineTimer deadline(5000);
        while (UnansweredLookupWaiting() && !deadline.hasExpired())
            QThread::msleep(10);
    });
    update.SetUpdateFileURL(QStringLiteral("http://%1/QuorvexUpdate.txt").arg(QLatin1String(kUnansweredHost)));
    bool waitedForTheName = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (UnansweredLookupWaiting() && seams.Deadline->Running) {
            waitedForTheName = true;
            seams.Deadline->Expire();
        }
    });
    poll.start(10);
    EXPECT_FALSE(update.Execute(true));
    EXPECT_TRUE(waitedForTheName);
    EXPECT_TRUE(seams.Messages->Shown.empty());
}

// A manual check keeps the client's own time-out only.
TEST_F(UpdateSafety, ManualCheckHasNoDeadline)
{
    Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), UpdateInfo({{"Version", "1.0.4.9"}}));
    EXPECT_FALSE(update.Execute(false));
    EXPECT_EQ(seams.Deadline->Starts, 0);
    EXPECT_FALSE(update.Execute(true));
    EXPECT_EQ(seams.Deadline->Starts, 1);
    EXPECT_FALSE(seams.Deadline->Running.has_value()) << "stopped when the check ends";
}

// A small tmpfs stands in for a full disk.
class TFullDisk {
public:
    explicit TFullDisk(const QString& folder) : folder_(folder.toLocal8Bit())
    {
        QDir().mkpath(folder);
        if (::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k,mode=0700") == 0)
            mounted_ = true;
        else
            refusal_ = std::strerror(errno);
    }
    ~TFullDisk()
    {
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    const std::string& Refusal() const { return refusal_; }

private:
    QByteArray folder_;
    bool mounted_ = false;
    std::string refusal_;
};

struct TFullDiskCase {
    const char* Name;
    bool Download;  // else the check's own temporary file
    const char* File;  // pattern of the file that could not be written, in the full folder
};

void PrintTo(const TFullDiskCase& c, std::ostream* out)
{
    *out << c.Name;
}

class FullDisk : public UpdateSafety, public testing::WithParamInterface<TFullDiskCase> {};

// A file that cannot be written is no HTTP failure: its error, with the
// system's reason, leaves the check for the application's error report.
TEST_P(FullDisk, ReportsTheSystemsReason)
{
    const QString folder = GetParam().Download ? DownloadFolderPath() : TemporaryFolderPath();
    TFullDisk disk(folder);
    if (!disk.Mounted())
        GTEST_SKIP() << "a tmpfs cannot be mounted here (" << disk.Refusal() << "), so no disk can be made full";
    if (GetParam().Download)
        ServeInstaller(Url(Mine(QStringLiteral("QuorvexSetup.exe"))));
    else
        Serve(Mine(QStringLiteral("QuorvexUpdate.txt")), UpdateInfo({{"Version", "1.0.5.0"}, {"Padding", QString(200'000, u'x')}}));
    try {
        CheckAndDownload();
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        const QRegularExpression expected(QStringLiteral("^Cannot write file \"%1/%2\"\\. %3$")
                                              .arg(QRegularExpression::escape(folder), QLatin1String(GetParam().File),
                                                   QRegularExpression::escape(QString::fromLocal8Bit(std::strerror(ENOSPC)))));
        EXPECT_TRUE(expected.match(QString::fromStdString(error.what())).hasMatch()) << error.what();
    }
    EXPECT_TRUE(seams.Messages->Shown.empty());
    EXPECT_TRUE(seams.Shell->Requests.empty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "the partial file is deleted";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FullDisk,
    testing::Values(TFullDiskCase{"CheckTemporaryFile", false, "AU[A-Za-z0-9]{6}\\.tmp"},
                    TFullDiskCase{"Download", true, "QuorvexSetup\\.exe\\.[A-Za-z0-9]{6}\\.part"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
