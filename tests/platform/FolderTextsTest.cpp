// The folder field's texts: native folders inside the prefix named as a
// Windows program sees them, and folder texts back to existing native folders.
#include "platform/wine/FolderTexts.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TTempFolder;

// A prefix (WINEPREFIX) whose drive C: holds "Games/Yahoo" and a file, beside
// a folder outside it.
class FolderTexts : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(prefix.Path() / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix.Path() / "dosdevices" / "c:");
        fs::create_directories(DriveC() / "Games" / "Yahoo");
        fs::create_directories(prefix.Path() / "drive_cx" / "Games");
        fs::create_directories(outside.Path() / "opt");
        test::WriteText(DriveC() / "notes.txt", "text");
        fs::create_directory_symlink(outside.Path() / "opt", DriveC() / "away");
    }

    fs::path DriveC() const { return prefix.Path() / "drive_c"; }

    TTempFolder prefix;
    TTempFolder outside;
    test::TScopedEnv environment{"WINEPREFIX", prefix.Path().string()};
};

TEST_F(FolderTexts, AFolderOnDriveCReadsAsWindowsSeesItAnyOtherStaysNative)
{
    const std::string opt = (outside.Path() / "opt").string();
    const struct {
        std::string native;
        std::string text;
    } cases[] = {
        {(DriveC() / "Games" / "Yahoo").string(), "C:\\Games\\Yahoo"},
        {(DriveC() / "Games" / "Yahoo").string() + "/", "C:\\Games\\Yahoo"},
        {(prefix.Path() / "dosdevices" / "c:" / "Games").string(), "C:\\Games"},
        {(DriveC() / "Games" / ".." / "New" / "Folder").string(), "C:\\New\\Folder"},
        {DriveC().string(), "C:\\"},
        {DriveC().string() + "/", "C:\\"},
        // A folder whose name only begins with the drive's.
        {(prefix.Path() / "drive_cx" / "Games").string(), (prefix.Path() / "drive_cx" / "Games").string()},
        {opt, opt},
        // A link on drive C: that leads out of it names the folder it leads to.
        {(DriveC() / "away").string(), (DriveC() / "away").string()},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.native);
        EXPECT_EQ(WindowsFolderText(c.native), c.text);
    }
}

TEST_F(FolderTexts, WithoutADriveCEveryFolderStaysNative)
{
    fs::remove(prefix.Path() / "dosdevices" / "c:");
    const std::string folder = (DriveC() / "Games" / "Yahoo").string();
    EXPECT_EQ(WindowsFolderText(folder), folder);
}

TEST_F(FolderTexts, AFolderTextNamesItsNativeFolderOnlyWhenThatIsAnExistingFolder)
{
    const fs::path yahoo = DriveC() / "Games" / "Yahoo";
    const struct {
        std::string text;
        std::optional<fs::path> folder;
    } cases[] = {
        {"C:\\Games\\Yahoo", yahoo},
        {"c:\\GAMES\\yahoo\\", yahoo},
        {yahoo.string(), yahoo},
        {"C:\\", DriveC()},
        {"C:\\No Such Folder", std::nullopt},
        {"C:\\notes.txt", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<fs::path> found = ExistingNativeFolder(c.text);
        ASSERT_EQ(found.has_value(), c.folder.has_value());
        if (found) {
            EXPECT_EQ(fs::canonical(*found), fs::canonical(*c.folder));
        }
    }
}

}  // namespace
}  // namespace quorvex
