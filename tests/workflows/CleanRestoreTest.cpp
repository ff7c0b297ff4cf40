// The clean and restore workflow: the executable back byte for byte, the
// backup gone, the stock skins written, the HTML replacement file deleted,
// and the early end on a wrong folder.
#include "platform/Error.h"
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/Workflows.h"

#include <gtest/gtest.h>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

constexpr int kCleanOptions = 3;

std::vector<std::string> Journal(const std::vector<std::string>& lines)
{
    std::vector<std::string> journal = {"show"};
    for (const std::string& line : lines)
        journal.push_back("line: " + line);
    for (const char* entry : {"untick", "status: Applying Options Complete", "progress: paused", "refresh"})
        journal.emplace_back(entry);
    return journal;
}

class CleanRestore : public WorkflowTest {
public:
    // An advert apply of the given options, leaving the backup and the HTML
    // replacement file behind.
    void ApplyAdverts(const std::vector<int>& rows)
    {
        host.Tick(9, rows);
        ApplyAdvertOptions(engine, storage, host);
        ASSERT_TRUE(fs::exists(Backup()));
    }

    void Clean(const std::vector<int>& rows)
    {
        host.Tick(kCleanOptions, rows);
        host.Journal.clear();
        CleanAndRestore(engine, storage, host);
    }

    std::vector<std::uint8_t> Executable() const { return ReadBytes(prefix.Executable()); }
};

TEST_F(CleanRestore, TheRestoreMakesTheExecutableIdenticalToTheOriginalAndDeletesTheBackup)
{
    ApplyAdverts({0, 1, 2, 3, 4, 5});
    ASSERT_FALSE(Executable() == prefix.Image.Bytes);

    Clean({0});

    EXPECT_EQ(host.Journal, Journal({"Yahoo Messenger Backup: Successfully Restored"}));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
    EXPECT_FALSE(fs::exists(Backup()));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(8));
    EXPECT_TRUE(fs::exists(HtmlReplacement())) << "option 1 was not ticked";
    EXPECT_FALSE(host.AnyTicked());
}

TEST_F(CleanRestore, AllThreeOptionsInTheirOrder)
{
    ApplyAdverts({1});
    host.Tick(9, {4, 5});
    ApplySkinOptions(storage, host);

    Clean({0, 1, 2});

    EXPECT_EQ(host.Journal, Journal({"Yahoo Messenger Backup: Successfully Restored",
                                     "HTML Replacement File: Successfully Removed",
                                     "Yahoo UI Options: Successfully Restored"}));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
    EXPECT_FALSE(fs::exists(HtmlReplacement()));
    EXPECT_EQ(ReadBytes(Skin("IMWindow")), StoredBytes(8));
    EXPECT_EQ(ReadBytes(Skin("FriendList")), StoredBytes(9));
    EXPECT_EQ(ReadBytes(Skin("ContactCard")), StoredBytes(10));
}

TEST_F(CleanRestore, AWrongFolderForTheRestoreClosesTheStatusWindowAndChangesNothing)
{
    ApplyAdverts({1});
    const std::vector<std::uint8_t> patched = Executable();
    const std::string friendList = ReadText(Skin("FriendList"));
    host.Folder = "C:\\Program Files\\Yahoo!\\Elsewhere";

    Clean({0, 1, 2});

    EXPECT_EQ(host.Journal,
              (std::vector<std::string>{"show",
                                        "message: Yahoo Messenger is not located at the path specified. Enter the "
                                        "correct path to Yahoo Messenger in the Advert Options tab and try again.",
                                        "close"}));
    EXPECT_EQ(host.Ticks, (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(fs::exists(Backup()));
    EXPECT_TRUE(fs::exists(HtmlReplacement()));
    EXPECT_TRUE(Executable() == patched);
    EXPECT_EQ(ReadText(Skin("FriendList")), friendList);
}

TEST_F(CleanRestore, TheBackupGoesToTheFolderTypedNow)
{
    ApplyAdverts({1});
    const fs::path other = prefix.Path() / "drive_c" / "Other Messenger";
    fs::create_directories(other / "skins" / "Default" / "IMWindow");
    WriteText(other / "YahooMessenger.exe", "another executable");
    host.Folder = "C:\\Other Messenger";

    Clean({0});

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Restored"}));
    EXPECT_TRUE(ReadBytes(other / "YahooMessenger.exe") == prefix.Image.Bytes);
    EXPECT_EQ(ReadBytes(other / "skins" / "Default" / "IMWindow" / "IMWindow.xml"), StoredBytes(8));
    EXPECT_FALSE(Executable() == prefix.Image.Bytes) << "the first folder keeps its patched executable";
}

TEST_F(CleanRestore, WhatIsMissingIsReportedAsUnableAndChangesNothing)
{
    const std::string imWindow = ReadText(Skin("IMWindow"));

    Clean({0, 1});

    EXPECT_EQ(host.Journal, Journal({"Yahoo Messenger Backup: Unable to Restore",
                                     "HTML Replacement File: Unable to Remove"}));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
    EXPECT_EQ(ReadText(Skin("IMWindow")), imWindow);
}

TEST_F(CleanRestore, AReadOnlyHtmlReplacementFileIsNotRemoved)
{
    const struct {
        fs::perms mode;
        const char* line;
        bool kept;
    } cases[] = {
        {fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, "HTML Replacement File: Unable to Remove",
         true},
        {fs::perms::owner_read, "HTML Replacement File: Unable to Remove", true},
        {fs::perms::owner_read | fs::perms::owner_write, "HTML Replacement File: Successfully Removed", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        WriteText(HtmlReplacement(), "<html></html>\r\n");
        fs::permissions(HtmlReplacement(), c.mode);

        Clean({1});

        EXPECT_EQ(host.Journal, Journal({c.line}));
        EXPECT_EQ(fs::exists(HtmlReplacement()), c.kept);
        if (c.kept)
            fs::permissions(HtmlReplacement(), fs::perms::owner_all);
    }
}

TEST_F(CleanRestore, OptionsOneAndTwoNeedNoExecutableAndStopAtTheFirstSkinThatCannotBeWritten)
{
    WriteText(HtmlReplacement(), "<html></html>\r\n");
    const std::string contactCard = ReadText(Skin("ContactCard"));
    fs::remove_all(Skin("FriendList").parent_path());
    fs::remove(prefix.Executable());

    host.Tick(kCleanOptions, {1, 2});
    try {
        CleanAndRestore(engine, storage, host);
        ADD_FAILURE() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_NE(std::string(error.what()).find("FriendList.xml\". "), std::string::npos) << error.what();
    }

    EXPECT_EQ(host.Journal,
              (std::vector<std::string>{"show", "line: HTML Replacement File: Successfully Removed"}));
    EXPECT_FALSE(fs::exists(HtmlReplacement()));
    EXPECT_EQ(ReadText(Skin("ContactCard")), contactCard) << "not written after the contact list failed";
    EXPECT_EQ(host.Ticks, (std::vector<bool>{false, true, true}));
}

TEST_F(CleanRestore, ASkinFailureAfterTheRestoreKeepsTheRestoreAndItsLine)
{
    ApplyAdverts({1});
    fs::remove_all(Skin("IMWindow").parent_path());

    host.Tick(kCleanOptions, {0, 1});
    host.Journal.clear();
    EXPECT_THROW(CleanAndRestore(engine, storage, host), FileCreateError);

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Yahoo Messenger Backup: Successfully Restored"}));
    EXPECT_TRUE(Executable() == prefix.Image.Bytes);
    EXPECT_FALSE(fs::exists(Backup()));
    EXPECT_TRUE(fs::exists(HtmlReplacement())) << "option 1 did not run";
    EXPECT_FALSE(host.Has("refresh"));
}

}  // namespace
}  // namespace quorvex::test
