#include "platform/wine/Paths.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

// A prefix whose drive C: holds "Program Files/Yahoo!/Messenger/YahooMessenger.exe".
class PathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(prefix.Path() / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix.Path() / "dosdevices" / "c:");
        fs::create_directories(prefix.Path() / "drive_c" / "Program Files" / "Yahoo!" / "Messenger");
        test::WriteText(messenger() / "YahooMessenger.exe", "MZ");
        fs::create_directories(prefix.Path() / "drive_c" / "Program Files" / "Yahoo!" / "M\xc3\xa9ssenger \xc3\xbc" / "\xcf\x83");
    }

    fs::path messenger() const { return prefix.Path() / "drive_c" / "Program Files" / "Yahoo!" / "Messenger"; }
    fs::path drive() const { return prefix.Path() / "dosdevices" / "c:"; }

    TTempFolder prefix;
};

TEST_F(PathsTest, DrivePathsGoThroughDosdevicesAndMatchAnyCase)
{
    const struct {
        std::string text;
        fs::path expected;
    } cases[] = {
        {"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe",
         drive() / "Program Files" / "Yahoo!" / "Messenger" / "YahooMessenger.exe"},
        {"c:\\PROGRAM FILES\\yahoo!\\messenger\\yahoomessenger.EXE",
         drive() / "Program Files" / "Yahoo!" / "Messenger" / "YahooMessenger.exe"},
        // A folder text with a trailing separator, then the fixed name: empty components vanish.
        {"C:\\Program Files\\Yahoo!\\Messenger\\\\YahooMessenger.exe",
         drive() / "Program Files" / "Yahoo!" / "Messenger" / "YahooMessenger.exe"},
        {"C:/program files/Yahoo!/Messenger/skins", drive() / "Program Files" / "Yahoo!" / "Messenger" / "skins"},
        {"C:\\BlankQuorvex.html", drive() / "BlankQuorvex.html"},
        {"C:", drive()},
        // Letters of any script, as Wine matches them.
        {"C:\\PROGRAM FILES\\YAHOO!\\M\xc3\x89SSENGER \xc3\x9c\\\xce\xa3",
         drive() / "Program Files" / "Yahoo!" / "M\xc3\xa9ssenger \xc3\xbc" / "\xcf\x83"},
        {"D:\\data\\file.txt", prefix.Path() / "dosdevices" / "d:" / "data" / "file.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ResolvePath(c.text, prefix.Path()), c.expected);
    }
    EXPECT_TRUE(fs::is_regular_file(ResolvePath("C:\\program files\\YAHOO!\\messenger\\YahooMessenger.exe", prefix.Path())));
}

TEST_F(PathsTest, DotDotStopsAtTheRootOfTheDrive)
{
    const struct {
        std::string text;
        fs::path expected;
    } cases[] = {
        {"C:\\..\\..\\escaped", drive() / "escaped"},
        {"c:\\..", drive()},
        {"C:\\Program Files\\..\\..\\..\\BlankQuorvex.html", drive() / "BlankQuorvex.html"},
        {"C:\\program files\\Yahoo!\\.\\Messenger\\..\\MESSENGER\\YahooMessenger.exe",
         drive() / "Program Files" / "Yahoo!" / "Messenger" / "YahooMessenger.exe"},
        {"C:\\Program Files\\Yahoo!\\Messenger\\skins\\..\\..\\..\\..\\..\\x", drive() / "x"},
        {"\\..\\..\\tmp", fs::path("/tmp")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ResolvePath(c.text, prefix.Path()), c.expected);
    }
}

TEST_F(PathsTest, NativeAbsolutePathsAreUsedAsTheyAreWithBackslashesAsSeparators)
{
    const fs::path folder = messenger();
    EXPECT_EQ(ResolvePath(folder.string() + "\\YahooMessenger.exe", prefix.Path()), folder / "YahooMessenger.exe");
    EXPECT_EQ(ResolvePath("/tmp", prefix.Path()), fs::path("/tmp"));
}

TEST_F(PathsTest, RelativeNamesResolveAgainstTheWorkingFolder)
{
    TTempFolder work;
    test::TScopedWorkingFolder inWork(work.Path());
    test::WriteText(work.Path() / "YahooMessenger.bak", "MZ");
    EXPECT_EQ(ResolvePath("YahooMessenger.bak", prefix.Path()), work.Path() / "YahooMessenger.bak");
    EXPECT_EQ(ResolvePath("yahoomessenger.BAK", prefix.Path()), work.Path() / "YahooMessenger.bak");
    EXPECT_EQ(ResolvePath("new.bak", prefix.Path()), work.Path() / "new.bak");
    // Relative to the working folder, ".." may leave it.
    EXPECT_EQ(ResolvePath("sub\\..\\..\\other.bak", prefix.Path()), work.Path().parent_path() / "other.bak");
}

}  // namespace
}  // namespace quorvex
