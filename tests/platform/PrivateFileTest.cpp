// The private folder and files: which folders count as private, where the
// temporary folder is, and files that are created exclusively, renamed over
// whatever has the final name and deleted only while they are still ours.
#include "platform/Error.h"
#include "platform/PrivateFile.h"
#include "platform/PrivateFolder.h"
#include "tests/fixtures/TestSupport.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TScopedEnv;
using test::TTempFolder;
using test::WriteText;

constexpr uid_t kOtherUser = 65534;  // nobody

mode_t ModeOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::string UserName()
{
    const passwd* entry = ::getpwuid(::geteuid());
    return entry != nullptr ? entry->pw_name : "";
}

struct TFolderCase {
    const char* Name;
    std::function<void(const fs::path&)> Make;
    std::string Refusal;  // empty: private
};

void PrintTo(const TFolderCase& c, std::ostream* out)
{
    *out << c.Name;
}

class PrivateFolder : public testing::TestWithParam<TFolderCase> {};

TEST_P(PrivateFolder, OwnedByThisUserAndWritableByNoOneElse)
{
    TTempFolder root;
    const fs::path folder = root.Path() / "folder";
    GetParam().Make(folder);
    EXPECT_EQ(PrivateFolderRefusal(folder), GetParam().Refusal);
}

void MakeFolder(const fs::path& folder, mode_t mode)
{
    fs::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PrivateFolder,
    testing::Values(TFolderCase{"Mode0700", [](const fs::path& f) { MakeFolder(f, 0700); }, ""},
                    TFolderCase{"Mode0755", [](const fs::path& f) { MakeFolder(f, 0755); }, ""},
                    TFolderCase{"GroupWritable", [](const fs::path& f) { MakeFolder(f, 0770); },
                                "Other users can write into it."},
                    TFolderCase{"Sticky1777", [](const fs::path& f) { MakeFolder(f, 01777); },
                                "Other users can write into it."},
                    TFolderCase{"OtherUsers",
                                [](const fs::path& f) {
                                    MakeFolder(f, 0700);
                                    ASSERT_EQ(::chown(f.c_str(), kOtherUser, kOtherUser), 0) << std::strerror(errno);
                                },
                                "It belongs to another user."},
                    TFolderCase{"File", [](const fs::path& f) { WriteText(f, "x"); }, "It is not a folder but a link or a file."},
                    TFolderCase{"Missing", [](const fs::path&) {}, std::string(std::strerror(ENOENT)) + "."}),
    [](const auto& info) { return std::string(info.param.Name); });

// A link to a private folder is no private folder, however it is written: a
// trailing separator would make the system follow it.
TEST(PrivateFolderLink, IsRefusedWithOrWithoutATrailingSeparator)
{
    TTempFolder root;
    MakeFolder(root.Path() / "real", 0700);
    const fs::path link = root.Path() / "link";
    fs::create_directory_symlink(root.Path() / "real", link);
    for (const std::string& path : {link.string(), link.string() + "/", link.string() + "//"}) {
        EXPECT_EQ(PrivateFolderRefusal(path), "It is not a folder but a link or a file.") << path;
        try {
            TFolderHandle::OpenPrivate(path);
            ADD_FAILURE() << "opened " << path;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot use the folder \"" + path + "\". It is not a folder but a link or a file.");
        }
    }
    EXPECT_EQ(PrivateFolderRefusal(root.Path() / "real/"), "");
    EXPECT_EQ(TFolderHandle::OpenPrivate(root.Path() / "real/").Path(), root.Path() / "real");
}

// A folder held open keeps the files made in it when its path is taken over
// by a link to another folder between the check and the writing: the file is
// written, renamed and deleted in the folder that was checked, and nothing
// appears in the other.
TEST(FolderHandle, FilesStayInTheFolderCheckedWhenItsPathBecomesALink)
{
    TTempFolder root;
    const fs::path folder = root.Path() / "Downloaded Installations";
    const fs::path moved = root.Path() / "moved";
    const fs::path other = root.Path() / "other";
    MakeFolder(folder, 0700);
    MakeFolder(other, 0700);
    const TFolderHandle handle = TFolderHandle::OpenPrivate(folder);
    EXPECT_TRUE(handle.StillAtItsPath());
    TPrivateFile kept = TPrivateFile::CreateBeside(handle, "setup.exe");
    TPrivateFile discarded = TPrivateFile::Create(handle, "AU", ".tmp");
    fs::rename(folder, moved);
    fs::create_directory_symlink(other, folder);
    EXPECT_FALSE(handle.StillAtItsPath());

    kept.Write(std::vector<std::uint8_t>{'n', 'e', 'w'});
    kept.RenameTo("setup.exe");
    discarded.Discard();

    EXPECT_EQ(ReadText(moved / "setup.exe"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(moved), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_empty(other));
}

// The temporary folder is the one Wine gives the user in the prefix when it
// is private, else a private folder in the user's cache folder.
class PrivateTemporaryFolderTest : public testing::Test {
protected:
    fs::path WineTemp() const { return prefix.Path() / "drive_c" / "users" / UserName() / "Temp"; }

    TTempFolder prefix;
    TTempFolder cache;
    TScopedEnv wine{"WINEPREFIX", prefix.Path().string()};
    TScopedEnv xdg{"XDG_CACHE_HOME", cache.Path().string()};
};

TEST_F(PrivateTemporaryFolderTest, WinesTempFolderOfTheUser)
{
    fs::create_directories(WineTemp());
    EXPECT_EQ(PrivateTemporaryFolder(), WineTemp());
    EXPECT_FALSE(fs::exists(cache.Path() / "quorvex"));
}

TEST_F(PrivateTemporaryFolderTest, CacheFolderMadePrivateWhenWinesWillNotDo)
{
    fs::create_directories(WineTemp());
    ASSERT_EQ(::chmod(WineTemp().c_str(), 0777), 0);
    EXPECT_EQ(PrivateTemporaryFolder(), cache.Path() / "quorvex");
    EXPECT_EQ(ModeOf(cache.Path() / "quorvex"), 0700u);
    // Kept as it is the next time.
    EXPECT_EQ(PrivateTemporaryFolder(), cache.Path() / "quorvex");
}

TEST_F(PrivateTemporaryFolderTest, ACacheFolderOthersCanWriteIsRefused)
{
    MakeFolder(cache.Path() / "quorvex", 0777);
    try {
        PrivateTemporaryFolder();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot use the temporary folder \"" + (cache.Path() / "quorvex").string()
                                                 + "\". Other users can write into it.");
    }
}

TEST(PrivateFile, CreatedExclusivelyForItsOwnerAndDeletedWhenLeft)
{
    TTempFolder folder;
    fs::path path;
    {
        TPrivateFile file = TPrivateFile::Create(folder.Path(), "AU", ".tmp");
        path = file.Path();
        EXPECT_EQ(path.parent_path(), folder.Path());
        EXPECT_TRUE(path.filename().string().starts_with("AU"));
        EXPECT_TRUE(path.filename().string().ends_with(".tmp"));
        EXPECT_EQ(ModeOf(path), 0600u);
        const TPrivateFile second = TPrivateFile::Create(folder.Path(), "AU", ".tmp");
        EXPECT_NE(second.Path(), path);
        file.Write(std::vector<std::uint8_t>{'a', 'b'});
        EXPECT_EQ(ReadText(path), "ab");
    }
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST(PrivateFile, CreationErrorCarriesTheSystemsReason)
{
    TTempFolder folder;
    const fs::path missing = folder.Path() / "missing";
    try {
        TPrivateFile::Create(missing, "AU", ".tmp");
        ADD_FAILURE() << "no error";
    } catch (const FileCreateError& error) {
        const std::string message = error.what();
        EXPECT_TRUE(message.starts_with("Cannot create file \"" + (missing / "AU").string())) << message;
        EXPECT_TRUE(message.ends_with(std::string("\". ") + std::strerror(ENOENT))) << message;
    }
    fs::create_directory(folder.Path() / "setup.exe");
    try {
        TPrivateFile::CreateBeside(folder.Path() / "setup.exe");
        ADD_FAILURE() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + (folder.Path() / "setup.exe").string() + "\". " + std::strerror(EISDIR));
    }
}

// What has the final name, a link or another user's file, is replaced by
// the rename: the link's target and the other file's content stay as they were.
TEST(PrivateFile, RenameReplacesALinkOrFileWithoutTouchingWhatItLedTo)
{
    TTempFolder folder;
    const fs::path victim = folder.Path() / "victim.txt";
    WriteText(victim, "precious");
    const fs::path kept = folder.Path() / "kept.txt";
    for (const bool link : {true, false}) {
        const fs::path target = folder.Path() / "setup.exe";
        fs::remove(target);
        if (link) {
            fs::create_symlink(victim, target);
        } else {
            WriteText(target, "planted");
            ASSERT_EQ(::chmod(target.c_str(), 0666), 0);
            ASSERT_EQ(::chown(target.c_str(), kOtherUser, kOtherUser), 0);
            fs::remove(kept);
            fs::create_hard_link(target, kept);
        }
        TPrivateFile file = TPrivateFile::CreateBeside(target);
        EXPECT_TRUE(file.Path().filename().string().starts_with("setup.exe.")) << file.Path();
        file.Write(std::vector<std::uint8_t>{'n', 'e', 'w'});
        file.RenameTo(target.filename());
        EXPECT_FALSE(fs::is_symlink(target));
        EXPECT_EQ(ReadText(target), "new");
        EXPECT_EQ(ModeOf(target), 0600u);
        EXPECT_EQ(ReadText(victim), "precious");
        if (!link) {
            EXPECT_EQ(ReadText(kept), "planted");
        }
    }
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"kept.txt", "setup.exe", "victim.txt"}));
}

TEST(PrivateFile, RenameToNewNeverReplaces)
{
    TTempFolder folder;
    const fs::path key = folder.Path() / "secret.key";
    WriteText(key, "old key");
    TPrivateFile file = TPrivateFile::CreateBeside(key);
    try {
        file.RenameToNew(key.filename());
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).ends_with(std::strerror(EEXIST))) << error.what();
    }
    EXPECT_EQ(ReadText(key), "old key");
    fs::remove(key);
    file.RenameToNew(key.filename());
    EXPECT_EQ(ModeOf(key), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

// Once something else has taken its name, the file is left alone.
TEST(PrivateFile, DiscardDeletesOnlyItsOwnFile)
{
    TTempFolder folder;
    TPrivateFile file = TPrivateFile::Create(folder.Path(), "AU", ".tmp");
    const fs::path path = file.Path();
    const fs::path other = folder.Path() / "other";
    WriteText(other, "someone else's");
    fs::rename(other, path);
    file.Discard();
    EXPECT_EQ(ReadText(path), "someone else's");
}

}  // namespace
}  // namespace quorvex
