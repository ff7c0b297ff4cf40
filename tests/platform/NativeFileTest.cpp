#include "platform/Error.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TTempFolder;
using test::WriteText;

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::size_t EntryCount(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// Lowers the largest file size this process may write; a write past it fails
// with EFBIG, as a full disk fails a write.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    sighandler_t oldHandler_;
};

TEST(NativeFile, WriteCreatesOrReplacesTheWholeFileAndKeepsItsPermissions)
{
    TTempFolder folder;
    const fs::path file = folder.Path() / "target.bin";
    WriteNativeFileAtomically(file, Bytes("first content"));
    EXPECT_EQ(ReadText(file), "first content");

    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
    WriteNativeFileAtomically(file, Bytes("new"));
    EXPECT_EQ(ReadText(file), "new");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec);
    EXPECT_EQ(EntryCount(folder.Path()), 1u);  // no temporary file left
    EXPECT_EQ(ReadNativeFile(file), Bytes("new"));
}

TEST(NativeFile, WriteGivesTheIdentityOfTheFileItPutInPlace)
{
    TTempFolder folder;
    const fs::path file = folder.Path() / "user.reg";
    WriteText(file, "old content");
    const auto old = FileIdentity(file);
    const auto written = WriteNativeFileAtomically(file, Bytes("new content"));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written, FileIdentity(file)) << "the identity is not that of the file after the rename";
    EXPECT_NE(written->File, old->File);
    EXPECT_EQ(written->Size, 11);
}

TEST(NativeFile, WriteThroughASymbolicLinkReplacesTheLinkedFile)
{
    TTempFolder folder;
    WriteText(folder.Path() / "real.bin", "old");
    fs::create_symlink("real.bin", folder.Path() / "link.bin");
    WriteNativeFileAtomically(folder.Path() / "link.bin", Bytes("new"));
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.bin"));
    EXPECT_EQ(ReadText(folder.Path() / "real.bin"), "new");
}

TEST(NativeFile, AFileThatCannotBeCreatedGivesTheFileCreationError)
{
    TTempFolder folder;
    const fs::path readOnly = folder.Path() / "readonly.bin";
    WriteText(readOnly, "keep");
    fs::permissions(readOnly, fs::perms::owner_read);
    fs::create_directory(folder.Path() / "dir");

    const struct {
        fs::path path;
        std::string reason;
    } cases[] = {
        {readOnly, "Permission denied"},
        {folder.Path() / "missing" / "file.bin", "No such file or directory"},
        {folder.Path() / "dir", "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            WriteNativeFileAtomically(c.path, Bytes("data"));
            FAIL() << "no error";
        } catch (const FileCreateError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + c.path.string() + "\". " + c.reason);
        }
    }
    EXPECT_EQ(ReadText(readOnly), "keep");
    EXPECT_FALSE(NativeFileWritable(readOnly));
    EXPECT_FALSE(NativeFileWritable(folder.Path() / "dir"));
    EXPECT_EQ(EntryCount(folder.Path()), 2u);
}

TEST(NativeFile, AReadOnlyFileSystemIsReportedAsSuch)
{
    TTempFolder folder;
    const fs::path mount = folder.Path() / "mount";
    fs::create_directory(mount);
    if (::mount("quorvex-test", mount.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a file system here: " << std::strerror(errno);
    const fs::path file = mount / "YahooMessenger.exe";
    WriteText(file, "MZ old image");
    const bool readOnly = ::mount(nullptr, mount.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    const int remountError = errno;
    if (readOnly) {
        EXPECT_FALSE(NativeFileWritable(file));
        for (const fs::path& target : {file, mount / "new.html"}) {
            try {
                WriteNativeFileAtomically(target, Bytes("new"));
                ADD_FAILURE() << "wrote " << target;
            } catch (const FileCreateError& error) {
                EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + target.string() + "\". Read-only file system");
            }
        }
        EXPECT_EQ(ReadText(file), "MZ old image");
    }
    ::umount2(mount.c_str(), MNT_DETACH);
    ASSERT_TRUE(readOnly) << std::strerror(remountError);
}

TEST(NativeFile, AFailedWriteLeavesTheOldContentAndNoTemporaryFile)
{
    TTempFolder folder;
    const fs::path file = folder.Path() / "YahooMessenger.exe";
    WriteText(file, "MZ old image");
    {
        TFileSizeLimit limit(1024);
        try {
            WriteNativeFileAtomically(file, std::vector<std::uint8_t>(4096, 0x41));
            FAIL() << "no error";
        } catch (const FileCreateError&) {
            FAIL() << "a write failure is not a creation failure";
        } catch (const Error& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with("Cannot write file \"" + file.string() + "\". "))
                << error.what();
        }
    }
    EXPECT_EQ(ReadText(file), "MZ old image");
    EXPECT_EQ(EntryCount(folder.Path()), 1u);
}

TEST(NativeFile, ReadingAMissingFileOrAFolderFailsWithTheReason)
{
    TTempFolder folder;
    EXPECT_THROW(ReadNativeFile(folder.Path() / "missing"), Error);
    EXPECT_THROW(ReadNativeText(folder.Path()), Error);
    WriteText(folder.Path() / "empty", "");
    EXPECT_TRUE(ReadNativeFile(folder.Path() / "empty").empty());
}

// The messenger's files are read as the registry's are: a pipe planted in
// their place is refused without waiting for a writer, a device without
// reading it.
TEST(NativeFile, OnlyARegularFileIsReadAndOpeningAnotherNeverWaits)
{
    TTempFolder folder;
    const fs::path pipe = folder.Path() / "YahooMessenger.exe";
    const fs::path device = folder.Path() / "YahooMessenger.bak";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", device);
    const struct {
        fs::path file;
        const char* reason;
    } cases[] = {
        {pipe, "Not a regular file (a pipe)"},
        {device, "Not a regular file (a device)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        const test::TBoundedRun run = test::RunBounded([&c] {
            try {
                return std::to_string(ReadNativeFile(c.file).size()) + " bytes read";
            } catch (const Error& error) {
                return std::string(error.what());
            }
        });
        EXPECT_TRUE(run.Finished) << "the read blocked, ran on or failed otherwise";
        EXPECT_EQ(run.Output, "Cannot open file \"" + c.file.string() + "\". " + c.reason);
    }
}

}  // namespace
}  // namespace quorvex
