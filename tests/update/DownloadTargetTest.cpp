// Where a downloaded installer goes: the folder rule, the file name taken
// from the URL and the refusal of names that would leave the folder.
#include "tests/fixtures/FakeUpdateSeams.h"
#include "tests/fixtures/TestSupport.h"
#include "update/DownloadTarget.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace quorvex {
namespace {

std::string Text(const QString& text)
{
    return text.toStdString();
}

struct TFolderCase {
    const char* Name;
    QStringList Existing;  // relative to the test's folder
    const char* Expected;  // likewise
};

void PrintTo(const TFolderCase& c, std::ostream* out)
{
    *out << c.Name;
}

class DownloadFolderRule : public testing::TestWithParam<TFolderCase> {};

TEST_P(DownloadFolderRule, FirstExistingChoice)
{
    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("tmp"));
    for (const QString& folder : GetParam().Existing)
        ASSERT_TRUE(QDir(root.path()).mkpath(folder));
    const TSpecialFolders folders{Text(root.filePath(QStringLiteral("local"))), Text(root.filePath(QStringLiteral("windows"))),
                                  Text(root.filePath(QStringLiteral("tmp")))};
    EXPECT_EQ(DownloadFolder(folders), Text(root.path()) + "/" + GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, DownloadFolderRule,
    testing::Values(
        TFolderCase{"all", {"local/Downloaded Installations", "local/Temp", "windows/Downloaded Installations"},
                    "local/Downloaded Installations/"},
        TFolderCase{"local temp", {"local/Temp", "windows/Downloaded Installations"}, "local/Temp/"},
        TFolderCase{"windows", {"local", "windows/Downloaded Installations"}, "windows/Downloaded Installations/"},
        TFolderCase{"none", {"local", "windows"}, "tmp/"}));

TEST(DownloadFolderRule, SeparatorsAreNotDoubled)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("local/Temp")));
    const std::string path = Text(root.path());
    EXPECT_EQ(DownloadFolder({path + "/local/", "", "/tmp"}), path + "/local/Temp/");
    EXPECT_EQ(DownloadFolder({"", path + "/none", path + "//"}), path + "/");
    EXPECT_EQ(DownloadFolder({"", "/nonexistent", "/"}), "/");
}

// An unknown local application data folder is skipped, not taken as the root.
TEST(DownloadFolderRule, NoLocalApplicationData)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("windows/Downloaded Installations")));
    EXPECT_EQ(DownloadFolder({"", Text(root.filePath(QStringLiteral("windows"))), "/tmp"}),
              Text(root.filePath(QStringLiteral("windows/Downloaded Installations/"))));
}

// A candidate that someone else could write into, or that belongs to
// someone else, is passed over for the next.
TEST(DownloadFolderRule, OnlyPrivateFoldersAreChosen)
{
    QTemporaryDir root;
    for (const char* folder : {"local/Downloaded Installations", "local/Temp", "windows/Downloaded Installations", "tmp"})
        ASSERT_TRUE(QDir(root.path()).mkpath(QLatin1String(folder)));
    const TSpecialFolders folders{Text(root.filePath(QStringLiteral("local"))), Text(root.filePath(QStringLiteral("windows"))),
                                  Text(root.filePath(QStringLiteral("tmp")))};
    ASSERT_TRUE(QFile::setPermissions(root.filePath(QStringLiteral("local/Downloaded Installations")),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                          | QFileDevice::WriteOther | QFileDevice::ReadOther | QFileDevice::ExeOther));
    ASSERT_EQ(::chown(root.filePath(QStringLiteral("local/Temp")).toLocal8Bit().constData(), 65534, 65534), 0);
    EXPECT_EQ(DownloadFolder(folders), Text(root.filePath(QStringLiteral("windows/Downloaded Installations/"))));
}

// A candidate that is a link, even to a private folder of this user, is
// passed over: the download goes to a real folder only.
TEST(DownloadFolderRule, LinksAreNotChosen)
{
    QTemporaryDir root;
    for (const char* folder : {"elsewhere", "local", "windows", "tmp"})
        ASSERT_TRUE(QDir(root.path()).mkpath(QLatin1String(folder)));
    ASSERT_TRUE(QFile::setPermissions(root.filePath(QStringLiteral("elsewhere")),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    for (const char* link : {"local/Downloaded Installations", "local/Temp", "windows/Downloaded Installations"})
        ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("elsewhere")), root.filePath(QLatin1String(link))));
    const TSpecialFolders folders{Text(root.filePath(QStringLiteral("local"))), Text(root.filePath(QStringLiteral("windows"))),
                                  Text(root.filePath(QStringLiteral("tmp")))};
    EXPECT_EQ(DownloadFolder(folders), Text(root.filePath(QStringLiteral("tmp/"))));
}

struct TNameCase {
    const char* Url;
    const char* Name;
    bool Plain;
};

class URLFileNameRule : public testing::TestWithParam<TNameCase> {};

TEST_P(URLFileNameRule, LastSegmentAndWhetherItIsPlain)
{
    const std::string name = URLFileName(GetParam().Url);
    EXPECT_EQ(name, GetParam().Name);
    EXPECT_EQ(IsPlainFileName(name), GetParam().Plain);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, URLFileNameRule,
    testing::Values(TNameCase{"http://example.com/files/QuorvexSetup.exe", "QuorvexSetup.exe", true},
                    TNameCase{"http://example.com/get?file=setup.exe", "get?file=setup.exe", true},
                    TNameCase{"setup.exe", "setup.exe", true},
                    TNameCase{"http://example.com/files/", "", false},
                    TNameCase{"http://example.com/..", "..", false},
                    TNameCase{"http://example.com/a..b.exe", "a..b.exe", false},
                    TNameCase{"http://example.com/x\\..\\..\\evil.exe", "x\\..\\..\\evil.exe", false},
                    TNameCase{"http://example.com/C:\\Windows\\evil.exe", "C:\\Windows\\evil.exe", false}));

// A name that is not a plain file name ends the download before anything is
// created or requested.
TEST(DownloadTargetName, NoPlainFileNameEndsTheDownloadWithAnError)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("local/Downloaded Installations")));
    const TSpecialFolders folders{Text(root.filePath(QStringLiteral("local"))), Text(root.filePath(QStringLiteral("windows"))),
                                  Text(root.path())};
    for (const char* url : {"http://127.0.0.1:9/files/", "http://127.0.0.1:9/..", "http://127.0.0.1:9/..\\evil.exe"}) {
        test::TFakeUpdateSeams seams;
        TVelkAppUpdateDownloadBox box(seams.Update);
        box.Download(QString::fromLatin1(url), folders, {});
        const QString name = QString::fromStdString(URLFileName(url));
        ASSERT_EQ(seams.Messages->Shown.size(), 1u) << url;
        EXPECT_EQ(seams.Messages->Shown[0],
                  (test::TShownMessage{QStringLiteral("Error"),
                                       QStringLiteral("The update cannot be saved under the name \"%1\": it is not a "
                                                      "plain file name.")
                                           .arg(name),
                                       TMsgDlgType::Error, TMsgDlgButtons::Ok}));
        EXPECT_FALSE(box.isVisible());
        EXPECT_TRUE(seams.Shell->Requests.empty());
        EXPECT_EQ(seams.Application->Requests, 0);
    }
    const QStringList everything = QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(everything, QStringList{QStringLiteral("local")});
    EXPECT_TRUE(QDir(root.filePath(QStringLiteral("local/Downloaded Installations"))).isEmpty());
}

TEST(DownloadTargetName, TargetThatCannotBeCreatedRaisesItsError)
{
    QTemporaryDir root;
    // A folder where the file would go.
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("Downloaded Installations/setup.exe")));
    test::TFakeUpdateSeams seams;
    TVelkAppUpdateDownloadBox box(seams.Update);
    const QString target = root.filePath(QStringLiteral("Downloaded Installations/setup.exe"));
    try {
        box.Download(QStringLiteral("http://127.0.0.1:9/setup.exe"), {"", Text(root.path()), Text(root.path())}, {});
        FAIL() << "no error";
    } catch (const std::exception& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(target)))
            << error.what();
    }
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_TRUE(seams.Messages->Shown.empty());
}

}  // namespace
}  // namespace quorvex
