// Quorvex's registry edits against Wine itself: a prefix made by wineboot,
// values written by "wine reg add" read by Quorvex and values Quorvex writes
// read back by "wine reg query".
#include "engine/TQuorvex.h"
#include "platform/Error.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TRunResult {
    int status = -1;
    std::string output;
};

// Runs a shell command line, its errors joined to its output. The output goes
// through a file, not a pipe: a wineserver started by the command inherits it
// and may outlive the command.
TRunResult Shell(const std::string& command)
{
    const test::TTempFolder scratch;
    const fs::path output = scratch.Path() / "output";
    TRunResult result;
    result.status = std::system((command + " >" + output.string() + " 2>&1 </dev/null").c_str());
    result.output = test::ReadText(output);
    return result;
}

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

TRunResult Reg(const std::vector<std::string>& arguments)
{
    std::string command = "wine reg";
    for (const std::string& argument : arguments)
        command += " " + Quote(argument);
    return Shell(command);
}

void WaitForWineserver()
{
    Shell("wineserver -w");
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::ranges::sort(lines);
    return lines;
}

// The lines of a that are not in b (as multisets).
std::vector<std::string> Minus(const std::string& a, const std::string& b)
{
    const std::vector<std::string> left = Lines(a), right = Lines(b);
    std::vector<std::string> difference;
    std::ranges::set_difference(left, right, std::back_inserter(difference));
    return difference;
}

class WinePeer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<test::TTempFolder>();
        environment_.emplace_back(std::make_unique<test::TScopedEnv>("WINEPREFIX", Prefix().string()));
        environment_.emplace_back(std::make_unique<test::TScopedEnv>("WINEARCH", "win64"));
        environment_.emplace_back(std::make_unique<test::TScopedEnv>("WINEDEBUG", "-all"));
        // No Mono or Gecko installer prompts in a prefix made without a display.
        environment_.emplace_back(std::make_unique<test::TScopedEnv>("WINEDLLOVERRIDES", "mscoree,mshtml="));
        environment_.emplace_back(std::make_unique<test::TScopedEnv>("DISPLAY", std::nullopt));
        const TRunResult boot = Shell("wineboot --init");
        WaitForWineserver();
        bootOutput_ = boot.output;
    }

    static void TearDownTestSuite()
    {
        Shell("wineserver -k");
        WaitForWineserver();
        environment_.clear();
        folder_.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(fs::is_regular_file(Prefix() / "user.reg")) << "wineboot made no prefix:\n" << bootOutput_;
        ASSERT_TRUE(fs::is_regular_file(Prefix() / "system.reg"));
    }

    static fs::path Prefix() { return folder_->Path() / "prefix"; }

    static void Add(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all = {"add"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        all.push_back("/f");
        const TRunResult result = Reg(all);
        ASSERT_EQ(result.status, 0) << result.output;
    }

    static std::string Query(const std::string& key, const std::string& value)
    {
        const TRunResult result = Reg({"query", key, "/v", value});
        return result.status == 0 ? result.output : "(missing)";
    }

    static inline std::unique_ptr<test::TTempFolder> folder_;
    static inline std::vector<std::unique_ptr<test::TScopedEnv>> environment_;
    static inline std::string bootOutput_;
};

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
    EXPECT_EQ(Minus(userBefore, userAfter),
              (std::vector<std::string>{"\"Launch on Startup\"=dword:00000001", "\"SmileySearch\"=dword:00000001",
                                        "\"Yahoo! Pager\"=\"C:\\\\Program Files\\\\Yahoo!\\\\Messenger\\\\YahooMessenger.exe -quiet\""}));
    EXPECT_EQ(Minus(userAfter, userBefore),
              (std::vector<std::string>{"\"Launch on Startup\"=dword:00000000", "\"Plural\"=dword:00000001"}));
    EXPECT_EQ(test::ReadText(Prefix() / "system.reg"), systemBefore);

    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager", "Launch on Startup").find("REG_DWORD    0x0"), std::string::npos);
    EXPECT_NE(Query("HKCU\\Software\\yahoo\\pager\\Test", "Plural").find("REG_DWORD    0x1"), std::string::npos);
    EXPECT_EQ(Query("HKCU\\Software\\yahoo\\pager", "SmileySearch"), "(missing)");
    EXPECT_EQ(Query("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Yahoo! Pager"), "(missing)");
    WaitForWineserver();
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
