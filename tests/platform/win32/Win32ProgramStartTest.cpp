// Starting a program through the shell: from its own folder, with its
// arguments as it reads them back, and the system's reason when it cannot.
#include "Win32TestSupport.h"
#include "platform/ProgramStart.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

namespace quorvex::test {
namespace {

namespace fs = std::filesystem;

std::string ContentOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// started_program.exe, built beside the tests.
fs::path StartedProgram()
{
    wchar_t self[MAX_PATH];
    const DWORD size = GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(std::wstring(self, size)).parent_path() / "started_program.exe";
}

// The log once the program has written it whole, or what there is after 20 s.
std::string LogOnceDone(const fs::path& log)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string text = ContentOf(log);
    while (!text.ends_with("end\n") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        text = ContentOf(log);
    }
    return text;
}

TEST(Win32ProgramStart, StartsTheProgramFromItsFolderWithItsArguments)
{
    TWin32TempFolder temp;
    const fs::path folder = temp.Path() / "Sub Folder";
    fs::create_directories(folder);
    const fs::path program = folder / "Setup.exe";
    fs::copy_file(StartedProgram(), program);
    const fs::path log = temp.Path() / "started.log";
    ASSERT_TRUE(SetEnvironmentVariableW(L"QUORVEX_STARTED_LOG", log.wstring().c_str()));

    std::optional<std::string> failure;
    StartProgram(temp / "Sub Folder\\Setup.exe",
                 {"/S", "two words", "quote\"d", "back\\slash\\", "\xc3\x9cn\xc3\xaf"},
                 [&failure](const std::string& reason) { failure = reason; });

    EXPECT_FALSE(failure.has_value()) << *failure;
    const std::string started = LogOnceDone(log);
    const std::string expected = (temp / "Sub Folder") + "\n/S\ntwo words\nquote\"d\nback\\slash\\\n\xc3\x9cn\xc3\xaf\nend\n";
    EXPECT_EQ(started, expected);
    SetEnvironmentVariableW(L"QUORVEX_STARTED_LOG", nullptr);
}

TEST(Win32ProgramStart, ReportsTheSystemsReasonAndStartsNoMissingFile)
{
    TWin32TempFolder temp;
    std::optional<std::string> failure;
    const auto record = [&failure](const std::string& reason) { failure = reason; };

    StartProgram(temp / "Gone.exe", {}, record);
    EXPECT_FALSE(failure.has_value()) << *failure;

    const std::string broken = temp / "Broken.exe";
    std::ofstream(fs::path(temp.Path() / "Broken.exe"), std::ios::binary) << "not a program";
    StartProgram(broken, {}, record);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->starts_with("Windows could not start it: ")) << *failure;
    EXPECT_GT(failure->size(), std::string("Windows could not start it: ").size()) << *failure;
}

}  // namespace
}  // namespace quorvex::test
