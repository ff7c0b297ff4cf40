// Starting a Windows program under Wine: what Wine is asked, from which
// folder and in which prefix, with a stand-in "wine" on PATH, and why a start
// failed in Wine's words.
#include "platform/ProgramStart.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineStart.h"
#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvex {
namespace {

namespace fs = std::filesystem;
using test::TScopedEnv;
using test::TTempFolder;

TEST(WineFailureReason, QuotesWinesHintOnItsMissing32BitPartElseItsMessages)
{
    const struct {
        const char* Output;
        int ExitCode;
        const char* Reason;
    } cases[] = {
        {"it looks like wine32 is missing, you should install it.\n"
         "multiarch needs to be enabled first.  as root, please\n"
         "execute \"dpkg --add-architecture i386 && apt-get update &&\n"
         "apt-get install wine32:i386\"\n"
         "0160:err:environ:init_peb starting L\"Z:\\\\tmp\\\\t32.exe\" in experimental wow64 mode\n"
         "Application could not be started, or no application associated with the specified file.\n"
         "ShellExecuteEx failed: Internal error.\n",
         1,
         "Wine could not start it:\n"
         "it looks like wine32 is missing, you should install it.\n"
         "multiarch needs to be enabled first.  as root, please\n"
         "execute \"dpkg --add-architecture i386 && apt-get update &&\n"
         "apt-get install wine32:i386\""},
        {"it looks like wine32 is missing, you should install it.\n"
         "as root, please execute \"apt-get install wine32:i386\"\n"
         "wine: created the configuration directory '/home/someone/.wine'\n",
         1,
         "Wine could not start it:\n"
         "it looks like wine32 is missing, you should install it.\n"
         "as root, please execute \"apt-get install wine32:i386\""},
        {"0048:err:module:import_dll Library x.dll not found\n"
         "wine: failed to open L\"C:\\\\windows\\\\syswow64\\\\rundll32.exe\": c0000135\n"
         "0048:fixme:ver:GetCurrentPackageId stub\n"
         "12345.678:0020:0048:warn:seh:dispatch_exception with the process and a time\n"
         "\n"
         "Application could not be started, or no application associated with the specified file.\r\n"
         "ShellExecuteEx failed: File not found.\r\n",
         1,
         "Wine could not start it:\n"
         "wine: failed to open L\"C:\\\\windows\\\\syswow64\\\\rundll32.exe\": c0000135\n"
         "Application could not be started, or no application associated with the specified file.\n"
         "ShellExecuteEx failed: File not found."},
        {"", 3, "Wine could not start it (exit code 3)."},
        {"0048:err:module:import_dll Library x.dll not found\n", 1, "Wine could not start it (exit code 1)."},
        {"m1\nm2\nm3\nm4\nm5\nm6\nm7\nm8\nm9\nm10\n", 1, "Wine could not start it:\nm3\nm4\nm5\nm6\nm7\nm8\nm9\nm10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WineFailureReason(c.Output, c.ExitCode), c.Reason) << c.Output;
}

// A stand-in for wine: it logs its working folder, WINEPREFIX and arguments
// one a line, and fails as Wine does for a program named Fails.exe.
constexpr char kFakeWine[] = R"(#!/bin/sh
case "$3" in
*Fails.exe)
  echo "0050:err:module:load_wow64_ntdll failed to load ntdll.dll error c0000135" >&2
  echo "ShellExecuteEx failed: File not found."
  exit 1;;
esac
printf '%s\n' "$PWD" "$WINEPREFIX" "$@" > "$QUORVEX_FAKE_WINE_LOG.part"
/bin/mv "$QUORVEX_FAKE_WINE_LOG.part" "$QUORVEX_FAKE_WINE_LOG"
)";

class ProgramStart : public ::testing::Test {
protected:
    ProgramStart()
    {
        test::WriteText(bin.Path() / "wine", kFakeWine);
        fs::permissions(bin.Path() / "wine", fs::perms::owner_all);
        fs::create_directories(prefix.MessengerFolder() / "Sub Folder");
        test::WriteText(prefix.MessengerFolder() / "Sub Folder" / "Setup.exe", "MZ");
        test::WriteText(prefix.MessengerFolder() / "Fails.exe", "MZ");
        UseWinePrefix(prefix.Path());
    }
    ~ProgramStart() override { UseWinePrefix({}); }

    // The failure reported from the watch's thread (no event pump here).
    std::optional<std::string> WaitForFailure(std::chrono::seconds bound)
    {
        std::unique_lock lock(mutex);
        reported.wait_for(lock, bound, [this] { return failure.has_value(); });
        return failure;
    }

    TStartFailure Recorder()
    {
        return [this](const std::string& reason) {
            const std::lock_guard lock(mutex);
            failure = reason;
            reported.notify_all();
        };
    }

    test::TFakePrefix prefix;
    TScopedEnv otherPrefix{"WINEPREFIX", "/nonexistent/prefix"};
    TTempFolder bin;
    TScopedEnv path{"PATH", bin.Path().string()};
    fs::path log = bin.Path() / "wine.log";
    TScopedEnv logEnv{"QUORVEX_FAKE_WINE_LOG", log.string()};
    std::mutex mutex;
    std::condition_variable reported;
    std::optional<std::string> failure;
};

TEST_F(ProgramStart, WineStartsTheProgramFromItsFolderInThePrefixInUseWithItsArguments)
{
    const fs::path setup = prefix.MessengerFolder() / "Sub Folder" / "Setup.exe";
    StartProgram(setup.string(), {"/S", "two words", "quote\"d"}, Recorder());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(log) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::string expected = (prefix.MessengerFolder() / "Sub Folder").string() + "\n" + prefix.Path().string()
                                 + "\nstart\n/unix\n" + setup.string() + "\n/S\ntwo words\nquote\"d\n";
    EXPECT_EQ(test::ReadText(log), expected);
    EXPECT_FALSE(WaitForFailure(std::chrono::seconds(1)).has_value()) << *failure;
}

TEST_F(ProgramStart, ReportsWhyNot)
{
    StartProgram((prefix.MessengerFolder() / "Fails.exe").string(), {}, Recorder());
    EXPECT_EQ(WaitForFailure(std::chrono::seconds(20)), "Wine could not start it:\nShellExecuteEx failed: File not found.");

    failure.reset();
    const TScopedEnv noWine("PATH", (bin.Path() / "none").string());
    StartProgram((prefix.MessengerFolder() / "Fails.exe").string(), {}, Recorder());
    EXPECT_EQ(failure, "Wine is not installed. Install the package wine (as root: apt-get install wine) and try again.");
}

TEST_F(ProgramStart, NothingStartsForAFileThatIsNotThere)
{
    StartProgram((prefix.MessengerFolder() / "Gone.exe").string(), {}, Recorder());
    StartProgram(prefix.MessengerFolder().string(), {}, Recorder());
    EXPECT_FALSE(WaitForFailure(std::chrono::seconds(1)).has_value());
    EXPECT_FALSE(fs::exists(log));
}

}  // namespace
}  // namespace quorvex
