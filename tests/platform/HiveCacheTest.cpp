#include "platform/Error.h"
#include "platform/wine/HiveCache.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr char kBefore[] = "WINE REGISTRY Version 2\n\n[Software\\\\A] 1\n\"Value\"=dword:00000001\n";
constexpr char kAfter[] = "WINE REGISTRY Version 2\n\n[Software\\\\A] 1\n\"Value\"=dword:00000002\n";

std::string Text(const std::shared_ptr<const THiveSnapshot>& snapshot)
{
    return std::string(snapshot->Hive().Text());
}

struct timespec ModifiedTime(const fs::path& file)
{
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mtim;
}

// Puts the modification time back, so that only the inode or the change time
// can tell the new content from the old.
void SetModifiedTime(const fs::path& file, const struct timespec& time)
{
    const struct timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

TEST(HiveCache, AnUnchangedFileIsReadOnce)
{
    test::TTempFolder folder;
    const fs::path file = folder.Path() / "user.reg";
    test::WriteText(file, kBefore);
    const auto first = CurrentHive(file);
    EXPECT_EQ(CurrentHive(file), first);
    EXPECT_EQ(Text(first), kBefore);
    // A key is searched once per reading and found at the same place.
    EXPECT_EQ(first->FindKey(u"software\\a")->Begin, first->Hive().FindKey(u"Software\\A")->Begin);
}

TEST(HiveCache, EveryChangeOfTheFileIsSeenEvenWithTheSameSizeAndTime)
{
    struct TCase {
        const char* name;
        std::function<void(const fs::path&)> change;
    };
    const TCase cases[] = {
        {"replaced by rename",
         [](const fs::path& file) {
             const fs::path other = file.parent_path() / "other.reg";
             test::WriteText(other, kAfter);
             SetModifiedTime(other, ModifiedTime(file));
             fs::rename(other, file);
         }},
        {"rewritten in place",
         [](const fs::path& file) {
             const struct timespec time = ModifiedTime(file);
             test::WriteText(file, kAfter);
             SetModifiedTime(file, time);
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TTempFolder folder;
        const fs::path file = folder.Path() / "user.reg";
        test::WriteText(file, kBefore);
        ASSERT_EQ(Text(CurrentHive(file)), kBefore);
        c.change(file);
        EXPECT_EQ(Text(CurrentHive(file)), kAfter);
    }
}

// Writes text as the registry writes it; the identity of the file put in place.
TFileIdentity WriteAsTheRegistry(const fs::path& file, const std::string& text)
{
    const auto identity =
        WriteNativeFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_TRUE(identity.has_value());
    return identity.value_or(TFileIdentity{});
}

// Another program puts text of the same length in place of the file (another
// inode), keeping its modification time.
void ReplaceBehindTheCachesBack(const fs::path& file, const std::string& text)
{
    const fs::path other = file.parent_path() / "other.reg";
    test::WriteText(other, text);
    SetModifiedTime(other, ModifiedTime(file));
    fs::rename(other, file);
}

TEST(HiveCache, AWrittenTextIsTakenAsReadUntilTheFileChanges)
{
    test::TTempFolder folder;
    const fs::path file = folder.Path() / "user.reg";
    test::WriteText(file, kBefore);
    ASSERT_EQ(Text(CurrentHive(file)), kBefore);

    const TFileIdentity written = WriteAsTheRegistry(file, kAfter);
    const auto adopted = std::make_shared<const THiveSnapshot>(TRegistryHive(kAfter));
    AdoptWrittenHive(file, written, adopted);
    EXPECT_EQ(CurrentHive(file), adopted) << "the file was read again";
    EXPECT_EQ(CurrentHive(file), adopted);

    ReplaceBehindTheCachesBack(file, kBefore);
    EXPECT_EQ(Text(CurrentHive(file)), kBefore);
}

TEST(HiveCache, AWrittenTextIsNotTakenForAFileReplacedSinceTheWrite)
{
    test::TTempFolder folder;
    const fs::path file = folder.Path() / "user.reg";
    const TFileIdentity written = WriteAsTheRegistry(file, kAfter);
    ReplaceBehindTheCachesBack(file, kBefore);
    AdoptWrittenHive(file, written, std::make_shared<const THiveSnapshot>(TRegistryHive(kAfter)));
    EXPECT_EQ(Text(CurrentHive(file)), kBefore);
}

// Where a freed file number goes to the next new file at once (ext4), two
// replacements by other processes would give the cached file's number back,
// and a file of the same size and times would pass for the cached one.
TEST(HiveCache, NoOtherFileTakesTheNumberOfACachedFile)
{
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written ? "written by this process" : "read");
        test::TTempFolder folder;
        const fs::path file = folder.Path() / "user.reg";
        test::WriteText(file, kBefore);
        if (written)
            AdoptWrittenHive(file, WriteAsTheRegistry(file, kBefore),
                             std::make_shared<const THiveSnapshot>(TRegistryHive(kBefore)));
        else
            ASSERT_EQ(Text(CurrentHive(file)), kBefore);
        const std::uint64_t cached = FileIdentity(file)->File;
        for (int replacement = 0; replacement < 4; ++replacement) {
            ReplaceBehindTheCachesBack(file, kAfter);
            EXPECT_NE(FileIdentity(file)->File, cached) << "replacement " << replacement;
        }
        EXPECT_EQ(Text(CurrentHive(file)), kAfter);
    }
}

TEST(HiveCache, AFileThatCannotBeReadGivesTheSystemsReason)
{
    test::TTempFolder folder;
    const fs::path file = folder.Path() / "user.reg";
    test::WriteText(file, kBefore);
    ASSERT_EQ(Text(CurrentHive(file)), kBefore);
    fs::remove(file);
    try {
        CurrentHive(file);
        ADD_FAILURE() << "a missing file was read";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos) << error.what();
    }
}

// A registry file that is a pipe without a writer, a link to an endless
// device or a sparse file just over the bound: each is refused with the reason
// at once, before anything is read, in a child that a hang or a runaway read
// would stop (not Finished) and whose memory is measured.
TEST(HiveCache, ARegistryFileThatIsNotARegularFileOrTooLargeIsRefusedBeforeItIsRead)
{
    test::TTempFolder folder;
    const fs::path pipe = folder.Path() / "pipe" / "user.reg";
    const fs::path zero = folder.Path() / "zero" / "user.reg";
    const fs::path random = folder.Path() / "random" / "system.reg";
    const fs::path sparse = folder.Path() / "sparse" / "system.reg";
    for (const fs::path& file : {pipe, zero, random, sparse})
        fs::create_directory(file.parent_path());
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zero);
    fs::create_symlink("/dev/urandom", random);
    test::WriteText(sparse, "");
    ASSERT_EQ(::truncate(sparse.c_str(), static_cast<off_t>(kMaxRegistryFileSize + 1)), 0);
    const struct {
        fs::path file;
        const char* reason;
    } cases[] = {
        {pipe, "Not a regular file (a pipe)"},
        {zero, "Not a regular file (a device)"},
        {random, "Not a regular file (a device)"},
        {sparse, "File too large (more than 256 MiB)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.string());
        const test::TBoundedRun run = test::RunBounded([&c] {
            try {
                CurrentHive(c.file);
                return std::string("(read)");
            } catch (const Error& error) {
                return std::string(error.what());
            }
        });
        EXPECT_TRUE(run.Finished) << "the read blocked, ran on or failed otherwise";
        EXPECT_EQ(run.Output, "Cannot open file \"" + c.file.string() + "\". " + c.reason);
        EXPECT_LT(run.GrowthKiB, 32 * 1024) << "memory taken for a file that is refused";
    }
}

TEST(HiveCache, ARegistryFileAtTheBoundIsRead)
{
    test::TTempFolder folder;
    const fs::path file = folder.Path() / "system.reg";
    test::WriteText(file, kBefore);
    ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(kMaxRegistryFileSize)), 0);
    const test::TBoundedRun run = test::RunBounded([&file] {
        const auto hive = CurrentHive(file);
        return std::to_string(hive->Hive().Text().size()) + (hive->Hive().IsValid() ? " valid" : " invalid");
    });
    ASSERT_TRUE(run.Finished);
    EXPECT_EQ(run.Output, std::to_string(kMaxRegistryFileSize) + " valid");
}

}  // namespace
}  // namespace quorvex
