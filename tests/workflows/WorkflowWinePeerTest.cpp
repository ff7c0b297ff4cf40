// The workflows against Wine itself, on a prefix made by wineboot: "wine reg
// query" reads the settings the advert apply switched, and nothing else in
// the registry changes; the clean deletes what Wine's own "del" deletes.
#include "archive/Catalogue.h"
#include "engine/TQuorvex.h"
#include "platform/wine/NativeFile.h"
#include "tests/fixtures/WinePeer.h"
#include "tests/workflows/WorkflowTestSupport.h"
#include "workflows/Workflows.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

class WorkflowWinePeer : public WinePrefixSuite {};

TEST_F(WorkflowWinePeer, OptionsSixToEightAreReadBackByWineAndTheRestOfTheRegistryIsIntact)
{
    const std::string run = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string command = "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe -quiet";
    Add({"HKLM\\Software\\yahoo\\pager", "/v", "ProductVersion", "/t", "REG_SZ", "/d", "10.0.0.1270", "/reg:32"});
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "Launch on Startup", "/t", "REG_DWORD", "/d", "1"});
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "SmileySearch", "/t", "REG_DWORD", "/d", "1"});
    Add({"HKCU\\Software\\yahoo\\pager\\Test"});
    Add({run, "/v", "Yahoo! Pager", "/t", "REG_SZ", "/d", command});
    Add({run, "/v", "Messenger (Yahoo!)", "/t", "REG_SZ", "/d", command});
    WaitForWineserver();

    const fs::path folder = Prefix() / "drive_c" / "Program Files" / "Yahoo!" / "Messenger";
    fs::create_directories(folder);
    const std::vector<std::uint8_t> executable = BuildFakeImage({}).Bytes;
    WriteNativeFileAtomically(folder / "YahooMessenger.exe", executable);
    const TTempFolder working;
    const TScopedWorkingFolder inWorking(working.Path());
    const std::string userBefore = ReadText(Prefix() / "user.reg");
    const std::string systemBefore = ReadText(Prefix() / "system.reg");

    TQuorvex engine;
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TRecordingHost host;
    host.Tick(9, {6, 7, 8});
    ApplyAdvertOptions(engine, storage, host);

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"Multiple Instances: Successfully Enabled",
                                                      "Auto Start: Successfully Disabled",
                                                      "Smiley Search: Successfully Disabled"}));
    const std::string userAfter = ReadText(Prefix() / "user.reg");
    std::vector<std::string> removed = {
        "\"Launch on Startup\"=dword:00000001", "\"SmileySearch\"=dword:00000001",
        "\"Yahoo! Pager\"=\"C:\\\\Program Files\\\\Yahoo!\\\\Messenger\\\\YahooMessenger.exe -quiet\"",
        "\"Messenger (Yahoo!)\"=\"C:\\\\Program Files\\\\Yahoo!\\\\Messenger\\\\YahooMessenger.exe -quiet\""};
    std::ranges::sort(removed);
    EXPECT_EQ(LinesMissingFrom(userBefore, userAfter), removed);
    EXPECT_EQ(LinesMissingFrom(userAfter, userBefore),
              (std::vector<std::string>{"\"Launch on Startup\"=dword:00000000", "\"Plural\"=dword:00000001"}));
    EXPECT_EQ(ReadText(Prefix() / "system.reg"), systemBefore);
    EXPECT_TRUE(ReadBytes(folder / "YahooMessenger.exe") == executable);
    EXPECT_FALSE(fs::exists(working.Path() / "YahooMessenger.bak"));

    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager", "Launch on Startup").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager\\Test", "Plural").find("REG_DWORD    0x1"), std::string::npos);
    EXPECT_EQ(Query("HKCU\\Software\\yahoo\\pager", "SmileySearch"), "(missing)");
    EXPECT_EQ(Query(run, "Yahoo! Pager"), "(missing)");
    EXPECT_EQ(Query(run, "Messenger (Yahoo!)"), "(missing)");
    WaitForWineserver();
}


TEST_F(WorkflowWinePeer, AReadOnlyHtmlReplacementFileIsRefusedByWinesDelAndKeptByTheClean)
{
    const fs::path html = Prefix() / "drive_c" / "BlankQuorvex.html";
    WriteText(html, "<html></html>\r\n");
    fs::permissions(html, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const TRunResult del = Shell("wine cmd /c del 'C:\\BlankQuorvex.html'");
    WaitForWineserver();
    EXPECT_NE(del.output.find("Access denied"), std::string::npos) << del.output;
    ASSERT_TRUE(fs::exists(html));

    TQuorvex engine;
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TRecordingHost host;
    host.Tick(3, {1});
    CleanAndRestore(engine, storage, host);

    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"HTML Replacement File: Unable to Remove"}));
    EXPECT_TRUE(fs::exists(html));

    // Writable again, the clean removes it.
    fs::permissions(html, fs::perms::owner_read | fs::perms::owner_write);
    host.Journal.clear();
    host.Tick(3, {1});
    CleanAndRestore(engine, storage, host);
    EXPECT_EQ(host.Lines(), (std::vector<std::string>{"HTML Replacement File: Successfully Removed"}));
    EXPECT_FALSE(fs::exists(html));
}

}  // namespace
}  // namespace quorvex::test
