#include "platform/Error.h"
#include "platform/wine/FileStream.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

class FileWriteStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "quorvex-file-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    std::string Read(const std::string& name) const
    {
        std::ifstream file(PathOf(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }
    static void Write(TStream& stream, std::string_view text)
    {
        stream.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }

    fs::path folder_;
};

TEST_F(FileWriteStreamTest, CommitPutsTheNewFileInPlaceOfTheOld)
{
    std::ofstream(PathOf("target.xml")) << "old content";
    TFileWriteStream stream(PathOf("target.xml"));
    Write(stream, "new");
    stream.Seek(5);  // a gap is filled with zero bytes
    Write(stream, "!");
    EXPECT_EQ(Read("target.xml"), "old content") << "nothing changes before the commit";

    stream.Seek(0);
    std::array<std::uint8_t, 3> back{};
    EXPECT_EQ(stream.Read(back), 3u);
    EXPECT_EQ(std::string(back.begin(), back.end()), "new");
    EXPECT_EQ(stream.Size(), 6u);

    stream.Commit();
    EXPECT_EQ(Read("target.xml"), std::string("new\0\0!", 6));
    EXPECT_EQ(Names(), std::vector<std::string>{"target.xml"});
}

TEST_F(FileWriteStreamTest, AnUncommittedStreamLeavesNothingBehind)
{
    std::ofstream(PathOf("target.xml")) << "old content";
    {
        TFileWriteStream stream(PathOf("target.xml"));
        Write(stream, "half a fi");
    }
    EXPECT_EQ(Read("target.xml"), "old content");
    EXPECT_EQ(Names(), std::vector<std::string>{"target.xml"});
}

TEST_F(FileWriteStreamTest, FailuresNameTheTargetAndTheReason)
{
    const std::string missing = PathOf("no/such/folder.xml");
    try {
        TFileWriteStream stream(missing);
        FAIL() << "created a file in a missing folder";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing + "\". No such file or directory");
    }

    fs::create_directory(folder_ / "taken");
    try {
        TFileWriteStream stream(PathOf("taken"));
        FAIL() << "opened a folder to replace it";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + PathOf("taken") + "\". Is a directory");
    }
    std::ofstream(PathOf("locked.xml")) << "read-only";
    fs::permissions(PathOf("locked.xml"), fs::perms::owner_read | fs::perms::group_read);
    try {
        TFileWriteStream stream(PathOf("locked.xml"));
        FAIL() << "replaced a read-only file";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + PathOf("locked.xml") + "\". Permission denied");
    }
    EXPECT_EQ(Read("locked.xml"), "read-only");
    EXPECT_EQ(Names().size(), 2u) << "no temporary file is left";
    EXPECT_TRUE(fs::is_directory(folder_ / "taken"));
}

TEST_F(FileWriteStreamTest, ASymbolicLinkIsFollowedAndKept)
{
    fs::create_directory(folder_ / "real");
    std::ofstream(PathOf("real/skin.xml")) << "old";
    fs::create_symlink("real/skin.xml", folder_ / "link.xml");
    TFileWriteStream stream(PathOf("link.xml"));
    Write(stream, "new");
    stream.Commit();
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.xml"));
    EXPECT_EQ(Read("real/skin.xml"), "new");
}

TEST_F(FileWriteStreamTest, TheTemporaryFileIsNamedAsQuorvexsAndLeftoversOfTheTargetGo)
{
    std::ofstream(PathOf("target.xml")) << "old content";
    std::ofstream(PathOf("elsewhere.txt")) << "not ours";
    // What a write cut short leaves (removed), and names that are not such
    // leftovers of this target (kept).
    const std::vector<std::string> leftovers = {".target.xml.quorvex-Ab12Cd", ".target.xml.quorvex-zzzzzz"};
    const std::vector<std::string> others = {".target.xml.quorvex-Ab12", ".target.xml.quorvex-Ab12Cd.bak",
                                             ".other.xml.quorvex-Ab12Cd", "target.xml.sHS13M", ".target.xml.quorvex-a.b_cd"};
    for (const auto& name : leftovers)
        std::ofstream(PathOf(name)) << "full-size copy";
    for (const auto& name : others)
        std::ofstream(PathOf(name)) << "someone's";
    fs::create_directory(folder_ / ".target.xml.quorvex-Folder");
    fs::create_symlink("elsewhere.txt", folder_ / ".target.xml.quorvex-Link00");

    std::vector<std::string> expected = others;
    expected.insert(expected.end(), {"target.xml", "elsewhere.txt", ".target.xml.quorvex-Folder", ".target.xml.quorvex-Link00"});
    std::ranges::sort(expected);
    {
        TFileWriteStream stream(PathOf("target.xml"));
        std::vector<std::string> names = Names();
        std::ranges::sort(names);
        std::vector<std::string> added;
        std::ranges::set_difference(names, expected, std::back_inserter(added));
        // The temporary file, and the lock file while the stream holds the target's lock.
        EXPECT_EQ(std::erase(added, ".target.xml.quorvex-lock"), 1u);
        ASSERT_EQ(added.size(), 1u);
        EXPECT_TRUE(added[0].starts_with(".target.xml.quorvex-")) << added[0];
        EXPECT_EQ(added[0].size(), std::string(".target.xml.quorvex-XXXXXX").size()) << added[0];
        Write(stream, "new");
        stream.Commit();
    }
    std::vector<std::string> names = Names();
    std::ranges::sort(names);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Read("target.xml"), "new");
    EXPECT_EQ(Read("elsewhere.txt"), "not ours");
}

TEST_F(FileWriteStreamTest, AReplacedFileKeepsItsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give a file to another user";
    const struct {
        uid_t owner;
        gid_t group;
        mode_t mode;
    } cases[] = {
        {4321, 8765, 0640},
        {0, 8765, 02750},  // the set-group bit survives the change of group
        {4321, 0, 0604},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        std::ofstream(PathOf("owned.exe")) << "old";
        ASSERT_EQ(::chown(PathOf("owned.exe").c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(PathOf("owned.exe").c_str(), c.mode), 0);
        TFileWriteStream stream(PathOf("owned.exe"));
        Write(stream, "new");
        stream.Commit();
        struct stat info {};
        ASSERT_EQ(::stat(PathOf("owned.exe").c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.owner);
        EXPECT_EQ(info.st_gid, c.group);
        EXPECT_EQ(info.st_mode & 07777, c.mode);
        EXPECT_EQ(Read("owned.exe"), "new");
    }
}

}  // namespace
}  // namespace quorvex
