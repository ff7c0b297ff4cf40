// Quorvex's registry edits against Wine itself: a prefix made by wineboot,
// values written by "wine reg add" read by Quorvex and values Quorvex writes
// read back by "wine reg query".
#include "engine/TQuorvex.h"
#include "platform/Error.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineRegistry.h"
#include "tests/fixtures/WinePeer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Shell;
using test::WaitForWineserver;

class WinePeer : public test::WinePrefixSuite {};

// Whether the kernel lists a POSIX write lock (/proc/locks) on the file
// "lock" in the prefix's server folder, in one of the places Wine keeps it.
bool ServerLockHeld(const fs::path& prefix)
{
    std::vector<fs::path> parents{"/tmp/.wine-" + std::to_string(::getuid())};
    for (const auto& entry : fs::directory_iterator("/tmp")) {
        if (entry.path().filename().string().starts_with("wine-"))
            parents.push_back(entry.path());
    }
    const std::string locks = test::ReadText("/proc/locks");
    for (const fs::path& parent : parents) {
        struct stat info {};
        if (::stat((parent / ServerFolderName(prefix) / "lock").c_str(), &info) != 0)
            continue;
        const std::string inode = ":" + std::to_string(info.st_ino) + " ";
        for (std::size_t at = locks.find(inode); at != std::string::npos; at = locks.find(inode, at + 1)) {
            const std::size_t line = locks.rfind('\n', at) + 1;
            const std::string_view entry(locks.data() + line, at - line);
            if (entry.find("POSIX") != std::string_view::npos && entry.find("WRITE") != std::string_view::npos)
                return true;
        }
    }
    return false;
}

TEST_F(WinePeer, ValuesWrittenByWineAreReadByQuorvex)
{
    Add({"HKLM\\Software\\yahoo\\pager", "/v", "ProductVersion", "/t", "REG_SZ", "/d", "10.0.0.1270", "/reg:32"});
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "Launch on Startup", "/t", "REG_DWORD", "/d", "1"});
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "SmileySearch", "/t", "REG_DWORD", "/d", "0xffffffff"});
    Add({"HKCU\\Software\\yahoo\\pager\\Test"});
    WaitForWineserver();

    EXPECT_NE(test::ReadText(Prefix() / "system.reg").find("#arch=win64"), std::string::npos);
    EXPECT_EQ(YahooVersion(), "10.0.0.1270");  // from Software\Wow6432Node
    TQuorvex engine;
    EXPECT_TRUE(engine.CheckAuto());
    EXPECT_FALSE(engine.CheckSmiley());  // -1
    EXPECT_FALSE(engine.CheckMulti());
}

TEST_F(WinePeer, ValuesWrittenByQuorvexAreReadByWineAndNothingElseChanges)
{
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "Launch on Startup", "/t", "REG_DWORD", "/d", "1"});
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "SmileySearch", "/t", "REG_DWORD", "/d", "1"});
    Add({"HKCU\\Software\\yahoo\\pager\\Test"});
    Add({"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "/v", "Yahoo! Pager", "/t", "REG_SZ", "/d",
         "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe -quiet"});
    WaitForWineserver();
    const std::string userBefore = test::ReadText(Prefix() / "user.reg");
    const std::string systemBefore = test::ReadText(Prefix() / "system.reg");

    TQuorvex engine;
    EXPECT_TRUE(engine.AutoStart());
    EXPECT_TRUE(engine.YahooMulti(false));
    EXPECT_TRUE(engine.SmileySearch(true));

    const std::string userAfter = test::ReadText(Prefix() / "user.reg");
    EXPECT_EQ(test::LinesMissingFrom(userBefore, userAfter),
              (std::vector<std::string>{"\"Launch on Startup\"=dword:00000001", "\"SmileySearch\"=dword:00000001",
                                        "\"Yahoo! Pager\"=\"C:\\\\Program Files\\\\Yahoo!\\\\Messenger\\\\YahooMessenger.exe -quiet\""}));
    EXPECT_EQ(test::LinesMissingFrom(userAfter, userBefore),
              (std::vector<std::string>{"\"Launch on Startup\"=dword:00000000", "\"Plural\"=dword:00000001"}));
    EXPECT_EQ(test::ReadText(Prefix() / "system.reg"), systemBefore);

    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager", "Launch on Startup").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager\\Test", "Plural").find("REG_DWORD    0x1"), std::string::npos);
    EXPECT_EQ(Query("HKCU\\Software\\yahoo\\pager", "SmileySearch"), "(missing)");
    EXPECT_EQ(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Yahoo! Pager"), "(missing)");
    WaitForWineserver();
}

// The section headers of a registry file in order, without their times,
// keeping only those named in wanted when it is given.
std::vector<std::string> Headers(const std::string& text, const std::vector<std::string>* wanted = nullptr)
{
    std::vector<std::string> headers;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with('['))
            continue;
        line = line.substr(0, line.rfind(']') + 1);
        if (wanted == nullptr || std::ranges::find(*wanted, line) != wanted->end())
            headers.push_back(line);
    }
    return headers;
}

// The lines of a key's section with the digits of its time lines blanked.
std::string Section(const std::string& text, const std::string& header)
{
    const std::size_t begin = text.find("\n" + header + " ");
    if (begin == std::string::npos)
        return "(no section)";
    const std::size_t end = text.find("\n\n", begin + 1);
    std::istringstream in(text.substr(begin + 1, end - begin - 1));
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('['))
            line = line.substr(0, line.rfind("] ") + 2) + "T";
        else if (line.starts_with("#time="))
            line = "#time=T";
        section += (section.empty() ? "" : "\n") + line;
    }
    return section;
}

TEST_F(WinePeer, AKeyWineStoresWithoutASectionIsFoundAndGetsTheSectionWineWouldWrite)
{
    const std::string testKey = "HKCU\\Software\\yahoo\\pager\\Test";
    const std::string header = "[Software\\\\yahoo\\\\pager\\\\Test]";
    test::Reg({"delete", testKey, "/f"});  // whatever an earlier test left there
    Add({testKey + "\\Window", "/v", "Width", "/t", "REG_DWORD", "/d", "300"});
    WaitForWineserver();
    ASSERT_EQ(Section(test::ReadText(Prefix() / "user.reg"), header), "(no section)");
    ASSERT_EQ(test::Reg({"query", testKey}).status, 0);  // Wine knows the key all the same
    WaitForWineserver();

    TQuorvex engine;
    EXPECT_FALSE(engine.CheckMulti());
    ASSERT_TRUE(engine.YahooMulti(false));
    const std::string ours = test::ReadText(Prefix() / "user.reg");
    EXPECT_NE(Query(testKey, "Plural").find("REG_DWORD    0x1"), std::string::npos);
    EXPECT_NE(Query(testKey + "\\Window", "Width").find("REG_DWORD    0x12c"), std::string::npos);
    WaitForWineserver();
    // Wine saves the section as Quorvex wrote it and where Quorvex put it.
    const std::string wines = test::ReadText(Prefix() / "user.reg");
    EXPECT_EQ(Section(ours, header), header + " T\n#time=T\n\"Plural\"=dword:00000001");
    EXPECT_EQ(Section(wines, header), Section(ours, header));
    const std::vector<std::string> ourHeaders = Headers(ours);
    EXPECT_EQ(Headers(wines, &ourHeaders), ourHeaders);

    // Switched off, the key loses its last value and Wine its section; it can
    // still be switched on again.
    ASSERT_TRUE(engine.YahooMulti(true));
    EXPECT_EQ(Query(testKey, "Plural"), "(missing)");
    WaitForWineserver();
    EXPECT_EQ(Section(test::ReadText(Prefix() / "user.reg"), header), "(no section)");
    EXPECT_FALSE(engine.CheckMulti());
    ASSERT_TRUE(engine.YahooMulti(false));
    EXPECT_TRUE(engine.CheckMulti());
    EXPECT_NE(Query(testKey, "Plural").find("REG_DWORD    0x1"), std::string::npos);
    WaitForWineserver();
}

// Names beyond ASCII against Wine's own reg, in both directions and both
// cases: what Wine writes under one spelling Quorvex reads under another; a
// value Quorvex writes under another spelling replaces Wine's, which Wine
// then reads under either; a value Quorvex adds Wine finds under a third.
TEST_F(WinePeer, NamesBeyondAsciiMatchAsWineMatchesThemBothWays)
{
    const test::TScopedEnv utf8("LC_ALL", "C.UTF-8");  // Wine's reg takes its arguments as UTF-8
    const struct {
        std::string wineKey;
        std::string wineValue;
        std::string ourKey;
        std::string ourValue;
        std::string newValue;   // added by Quorvex
        std::string wineNew;    // the same name as Wine is asked for it
    } cases[] = {
        {"Software\\Caf\u00e9\\\u0416", "\u00d1ame", "SOFTWARE\\CAF\u00c9\\\u0436", "\u00f1AME", "\u03a9mega",
         "\u03c9MEGA"},
        {"Software\\\u0436\u0443\u0440\u043d\u0430\u043b", "\uff21b", "software\\\u0416\u0423\u0420\u041d\u0410\u041b",
         "\uff41B", "\u00e9t\u00e9", "\u00c9T\u00c9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ourKey + " " + c.ourValue);
        Add({"HKCU\\" + c.wineKey, "/v", c.wineValue, "/t", "REG_DWORD", "/d", "1"});
        WaitForWineserver();
        const auto key = TWineRegistry().OpenKey(TRootKey::CurrentUser, c.ourKey, TKeyAccess::ReadWrite);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->ReadInteger(c.ourValue), 1);

        const std::string before = test::ReadText(Prefix() / "user.reg");
        key->WriteInteger(c.ourValue, 7);
        const std::string after = test::ReadText(Prefix() / "user.reg");
        ASSERT_EQ(test::LinesMissingFrom(after, before).size(), 1u) << "one line replaced, none added";
        ASSERT_EQ(test::LinesMissingFrom(before, after).size(), 1u);
        EXPECT_NE(Query("HKCU\\" + c.wineKey, c.wineValue).find("REG_DWORD    0x7"), std::string::npos);
        EXPECT_NE(Query("HKCU\\" + c.ourKey, c.ourValue).find("REG_DWORD    0x7"), std::string::npos);
        WaitForWineserver();

        key->WriteInteger(c.newValue, 3);
        EXPECT_NE(Query("HKCU\\" + c.wineKey, c.wineNew).find("REG_DWORD    0x3"), std::string::npos);
        WaitForWineserver();
        const auto saved = TWineRegistry().OpenKey(TRootKey::CurrentUser, c.wineKey, TKeyAccess::Read);
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->ReadInteger(c.wineNew), 3) << "Wine's save keeps the value Quorvex wrote";
    }
}

TEST_F(WinePeer, AChangeWhileTheWineserverRunsFailsAndSucceedsOnceItHasGone)
{
    Add({"HKCU\\Software\\yahoo\\pager", "/v", "SmileySearch", "/t", "REG_DWORD", "/d", "1"});
    WaitForWineserver();
    const std::string before = test::ReadText(Prefix() / "user.reg");
    const auto key = TWineRegistry(500ms).OpenKey(TRootKey::CurrentUser, "Software\\yahoo\\pager", TKeyAccess::ReadWrite);
    ASSERT_NE(key, nullptr);

    ASSERT_EQ(Shell("wineserver -p").status, 0);  // stays until killed
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!WineserverRunning(Prefix()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(WineserverRunning(Prefix()));
    EXPECT_TRUE(ServerLockHeld(Prefix())) << "the running wineserver is known by its lock";
    EXPECT_THROW(key->WriteInteger("SmileySearch", 7), RegistryError);
    Shell("wineserver -k");
    WaitForWineserver();
    EXPECT_EQ(test::ReadText(Prefix() / "user.reg"), before);  // the failed change left nothing behind

    key->WriteInteger("SmileySearch", 7);
    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager", "SmileySearch").find("REG_DWORD    0x7"), std::string::npos);
    WaitForWineserver();
}

}  // namespace
}  // namespace quorvex
