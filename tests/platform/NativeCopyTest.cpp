#include "platform/Error.h"
#include "platform/wine/NativeCopy.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/ReflinkMount.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <linux/magic.h>
#include <sys/vfs.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::FileChanges;
using test::ReadText;
using test::RewriteFirstByteInPlace;
using test::TFileChange;
using test::SharesAllExtents;
using test::TReflinkMount;
using test::TTempFolder;
using test::WriteText;

// Content spread over several blocks, so a clone has real extents to share.
std::string Content(char seed)
{
    std::string text(std::size_t{256} << 10, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(seed + static_cast<char>(i * 31 % 251));
    return text;
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

TEST(NativeFileIdentity, StaysWhileTheFileIsLeftAloneAndChangesWithEveryChange)
{
    TTempFolder folder;
    const fs::path file = folder.Path() / "file.bin";
    for (const TFileChange& change : FileChanges()) {
        SCOPED_TRACE(change.Name);
        WriteText(file, Content('a'));
        const std::optional<TFileIdentity> before = FileIdentity(file);
        ASSERT_TRUE(before.has_value());
        EXPECT_EQ(before->Size, Content('a').size());
        (void)ReadNativeFile(file);
        EXPECT_EQ(FileIdentity(file), before) << "reading is no change";
        change.Apply(file);
        EXPECT_NE(FileIdentity(file), before);
    }
    fs::create_symlink("file.bin", folder.Path() / "link.bin");
    EXPECT_EQ(FileIdentity(folder.Path() / "link.bin"), FileIdentity(file));
    EXPECT_EQ(FileIdentity(folder.Path()), std::nullopt);
    EXPECT_EQ(FileIdentity(folder.Path() / "missing.bin"), std::nullopt);
}

// Where the temporary folder cannot clone (ext4, tmpfs), nothing is copied:
// the caller writes the bytes itself.
TEST(CloneUnchangedNativeFile, WhereTheFileSystemCannotCloneNothingIsTouched)
{
    TTempFolder folder;
    struct statfs info {};
    ASSERT_EQ(::statfs(folder.Path().c_str(), &info), 0);
    if (info.f_type != EXT4_SUPER_MAGIC && info.f_type != TMPFS_MAGIC)
        GTEST_SKIP() << "the temporary folder is neither on ext4 nor on tmpfs and may clone";
    const fs::path source = folder.Path() / "source.exe";
    WriteText(source, Content('a'));
    const TFileIdentity identity = *FileIdentity(source);

    EXPECT_FALSE(CloneUnchangedNativeFile(source, identity, folder.Path() / "new.bak"));
    WriteText(folder.Path() / "old.bak", "older backup");
    EXPECT_FALSE(CloneUnchangedNativeFile(source, identity, folder.Path() / "old.bak"));
    EXPECT_EQ(ReadText(folder.Path() / "old.bak"), "older backup");
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"old.bak", "source.exe"}));
}

TEST(CloneUnchangedNativeFile, ATargetThatCannotBeCreatedRaisesTheWriteErrorsAndLeavesNothing)
{
    TTempFolder folder;
    const fs::path source = folder.Path() / "source.exe";
    WriteText(source, Content('a'));
    const TFileIdentity identity = *FileIdentity(source);
    const fs::path missing = folder.Path() / "missing" / "copy.bak";
    const fs::path readOnly = folder.Path() / "read-only.bak";
    WriteText(readOnly, "kept");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    const struct {
        fs::path target;
        std::string reason;
    } cases[] = {{missing, "No such file or directory"}, {readOnly, "Permission denied"},
                 {folder.Path(), "Is a directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        try {
            CloneUnchangedNativeFile(source, identity, c.target);
            ADD_FAILURE() << "no error";
        } catch (const FileCreateError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + c.target.string() + "\". " + c.reason);
        }
    }
    EXPECT_EQ(ReadText(readOnly), "kept");
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"read-only.bak", "source.exe"}));
}

class CloneOnReflinkFileSystem : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!mount.Mounted())
            GTEST_SKIP() << mount.Refusal();
        WriteText(Source(), Content('a'));
    }

    fs::path Source() const { return mount.Path() / "source.exe"; }
    fs::path Target() const { return mount.Path() / "copy.bak"; }

    TReflinkMount mount;
};

TEST_F(CloneOnReflinkFileSystem, TheCopySharesTheSourcesDataAndKeepsTheTargetsMode)
{
    WriteText(Target(), "older backup");
    fs::permissions(Target(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(CloneUnchangedNativeFile(Source(), *FileIdentity(Source()), Target()));

    EXPECT_TRUE(ReadText(Target()) == Content('a'));
    EXPECT_TRUE(SharesAllExtents(Target()));
    EXPECT_EQ(fs::status(Target()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Names(mount.Path()), (std::vector<std::string>{"copy.bak", "source.exe"}));

    // A file written out in full shares nothing, and the clone does not
    // follow a later change of its source.
    const std::string content = Content('a');
    WriteNativeFileAtomically(mount.Path() / "written.bak",
                              std::span(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    EXPECT_FALSE(SharesAllExtents(mount.Path() / "written.bak"));
    RewriteFirstByteInPlace(Source());
    EXPECT_TRUE(ReadText(Target()) == Content('a'));
}

TEST_F(CloneOnReflinkFileSystem, AChangedSourceOrOneOnAnotherFileSystemIsNotCloned)
{
    TTempFolder elsewhere;
    const fs::path far = elsewhere.Path() / "source.exe";
    WriteText(far, Content('b'));
    struct TCase {
        std::string name;
        fs::path source;
        std::function<void()> change;
    };
    std::vector<TCase> cases = {{"source on another file system", far, [] {}}};
    for (const TFileChange& change : FileChanges())
        cases.push_back({std::string("source ") + change.Name + " since its identity was taken", Source(),
                         [this, &change] { change.Apply(Source()); }});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TFileIdentity identity = *FileIdentity(c.source);
        c.change();
        for (const bool existing : {false, true}) {
            if (existing)
                WriteText(Target(), "older backup");
            EXPECT_FALSE(CloneUnchangedNativeFile(c.source, identity, Target()));
            EXPECT_EQ(fs::exists(Target()), existing);
            EXPECT_TRUE(ReadText(Target()) == (existing ? "older backup" : "")) << "the target is untouched";
            EXPECT_EQ(Names(mount.Path()).size(), existing ? 2u : 1u) << "no temporary file is left";
        }
        fs::remove(Target());
    }
}

}  // namespace
}  // namespace quorvex
