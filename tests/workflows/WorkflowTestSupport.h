// The workflows' tests: a host that records every call a workflow makes on
// it, in order, and a synthetic messenger installation with the stored item
// catalogue and a working folder of its own for the backup.
#pragma once

#include "archive/mxStorage.h"
#include "engine/TQuorvex.h"
#include "tests/fixtures/TestSupport.h"
#include "workflows/WorkflowHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::test {

inline constexpr char kMessengerFolder[] = "C:\\Program Files\\Yahoo!\\Messenger";

// Every host and status window call goes into Journal as one entry:
// "message: <text>", "show", "line: <text>", "status: <text>",
// "progress: normal|paused", "close button: on|off", "close", "refresh",
// "untick".
class TRecordingHost final : public IWorkflowHost, public IStatusLog {
public:
    std::vector<bool> Ticks;
    std::string Folder = kMessengerFolder;
    std::uint32_t Color = 0x00336699;
    std::vector<std::string> Journal;

    // Ticks exactly the given rows of a list of count rows.
    void Tick(int count, const std::vector<int>& rows);

    // The journal's status lines, without their "line: " prefix.
    std::vector<std::string> Lines() const;
    bool Has(const std::string& entry) const;

    bool Ticked(int index) const override;
    bool AnyTicked() const override;
    void UntickAll() override;
    std::string MessengerFolder() const override { return Folder; }
    std::uint32_t AdvertColor() const override { return Color; }
    IStatusLog& StatusLog() override { return *this; }
    void ShowMessage(const std::string& text) override { Journal.push_back("message: " + text); }
    void AdvertOptionRefresh() override { Journal.push_back("refresh"); }

    void Show() override { Journal.push_back("show"); }
    void AppendLine(const std::string& line) override { Journal.push_back("line: " + line); }
    void SetStatusText(const std::string& text) override { Journal.push_back("status: " + text); }
    void SetProgressState(TProgressState state) override;
    void EnableClose(bool enabled) override { Journal.push_back(enabled ? "close button: on" : "close button: off"); }
    void Close() override { Journal.push_back("close"); }
};

// The journal of a workflow that ended with a precondition's message.
std::vector<std::string> OnlyMessage(const std::string& text);

// A synthetic messenger (version 10.0.0.1270 unless installed anew) in a
// temporary prefix, the program's stored items, the engine
// with the major version the Adverts tab would give it, and a temporary
// working folder where the backup goes.
class WorkflowTest : public ::testing::Test {
public:
    WorkflowTest();

    // Installs the messenger anew with other options (executable, skins and
    // registry files replaced).
    void Install(const TFakeMessengerOptions& options);

    std::filesystem::path DriveC() const { return prefix.Path() / "drive_c"; }
    std::filesystem::path Skin(const std::string& name) const;  // "IMWindow" -> its .xml
    std::filesystem::path Backup() const { return working.Path() / "YahooMessenger.bak"; }
    std::filesystem::path HtmlReplacement() const { return DriveC() / "BlankQuorvex.html"; }
    // The bytes of stored item index as it writes them out.
    std::vector<std::uint8_t> StoredBytes(int index);

    TFakePrefix prefix;
    TTempFolder working;
    TScopedWorkingFolder inWorking{working.Path()};
    TmxStorage storage;
    TQuorvex engine;
    TRecordingHost host;
};

// The messenger seen as running while it lives: a process whose command line
// names YahooMessenger.exe.
class TRunningMessenger {
public:
    TRunningMessenger();

private:
    TChildProcess process_;
};

// Runs of offsets where a and b differ, as [first, last] pairs; one pair
// {size of a, size of b} when their sizes differ. Short to print where a
// comparison of whole executables would not be.
std::vector<std::pair<std::size_t, std::size_t>> DifferingRuns(const std::vector<std::uint8_t>& a,
                                                               const std::vector<std::uint8_t>& b);

}  // namespace quorvex::test
