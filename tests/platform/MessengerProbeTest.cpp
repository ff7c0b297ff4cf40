#include "platform/wine/ProcFs.h"
#include "platform/wine/ProcMessengerProbe.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace quorvex {
namespace {

TEST(MessengerProbe, CommandLinesThatRunTheMessenger)
{
    const struct {
        std::vector<std::string> arguments;
        bool runs;
    } cases[] = {
        {{"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", "", ""}, true},
        {{"D:\\Other\\YAHOOMESSENGER.EXE"}, true},
        {{"/home/u/.wine/drive_c/Program Files/Yahoo!/Messenger/yahoomessenger.exe", "-quiet"}, true},
        {{"YahooMessenger.exe"}, true},
        {{"/usr/lib/wine/wine64", "C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe"}, true},
        {{"wine", "YahooMessenger.exe"}, true},
        {{"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe.bak"}, false},
        {{"C:\\Program Files\\Yahoo!\\Messenger\\Messenger.exe"}, false},
        {{"hexdump", "YahooMessenger.exe"}, false},
        {{"C:\\YahooMessenger.exe\\other.exe"}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments[0]);
        EXPECT_EQ(CommandLineRunsMessenger(c.arguments), c.runs);
    }
}

// A process that ends while its files are read gives read errors, which
// must read as an empty answer, never as an exception: a folder read as a
// file fails the same way.
TEST(MessengerProbe, AProcessFileThatFailsToReadIsAnEmptyAnswer)
{
    test::TTempFolder folder;
    std::filesystem::create_directory(folder.Path() / "comm");
    std::filesystem::create_directory(folder.Path() / "cmdline");
    const TProcessInfo process(folder.Path());
    EXPECT_EQ(process.Name(), "");
    EXPECT_TRUE(process.Arguments().empty());
}

TEST(MessengerProbe, SeesAProcessRunningTheMessengerUntilItEnds)
{
    const TProcMessengerProbe probe;
    test::TChildProcess messenger("/bin/sleep", {"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.EXE", "30"});
    bool seen = false;
    for (int attempt = 0; attempt < 200 && !seen; ++attempt) {
        seen = probe.MessengerRunning();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(seen);
    messenger.Kill();
    EXPECT_FALSE(probe.MessengerRunning());
}

}  // namespace
}  // namespace quorvex
