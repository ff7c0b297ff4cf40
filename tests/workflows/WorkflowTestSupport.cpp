#include "tests/workflows/WorkflowTestSupport.h"

#include "archive/Catalogue.h"
#include "engine/MessengerInfo.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace quorvex::test {

void TRecordingHost::Tick(int count, const std::vector<int>& rows)
{
    Ticks.assign(static_cast<std::size_t>(count), false);
    for (int row : rows)
        Ticks.at(static_cast<std::size_t>(row)) = true;
}

std::vector<std::string> TRecordingHost::Lines() const
{
    std::vector<std::string> lines;
    for (const std::string& entry : Journal) {
        if (entry.rfind("line: ", 0) == 0)
            lines.push_back(entry.substr(6));
    }
    return lines;
}

bool TRecordingHost::Has(const std::string& entry) const
{
    return std::ranges::find(Journal, entry) != Journal.end();
}

bool TRecordingHost::Ticked(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < Ticks.size() && Ticks[static_cast<std::size_t>(index)];
}

bool TRecordingHost::AnyTicked() const
{
    return std::ranges::find(Ticks, true) != Ticks.end();
}

void TRecordingHost::UntickAll()
{
    std::fill(Ticks.begin(), Ticks.end(), false);
    Journal.push_back("untick");
}

void TRecordingHost::SetProgressState(TProgressState state)
{
    Journal.push_back(state == TProgressState::Paused ? "progress: paused" : "progress: normal");
}

std::vector<std::string> OnlyMessage(const std::string& text)
{
    return {"message: " + text};
}

WorkflowTest::WorkflowTest()
{
    LoadStoredCatalogue(storage);
    engine.YahooMajor = YahooMajorVersion(YahooVersion());
}

void WorkflowTest::Install(const TFakeMessengerOptions& options)
{
    prefix.Image = CreateFakeMessenger(prefix.Path(), options);
    engine.YahooMajor = YahooMajorVersion(YahooVersion());
}

std::filesystem::path WorkflowTest::Skin(const std::string& name) const
{
    return prefix.MessengerFolder() / "skins" / "Default" / name / (name + ".xml");
}

std::vector<std::uint8_t> WorkflowTest::StoredBytes(int index)
{
    TMemoryStream bytes;
    storage.ItemByIndex(index).SaveToStream(&bytes);
    return {bytes.Bytes().begin(), bytes.Bytes().end()};
}

TRunningMessenger::TRunningMessenger()
    : process_("/bin/sleep", {"C:\\Program Files\\Yahoo!\\Messenger\\YahooMessenger.exe", "30"})
{
    for (int attempt = 0; attempt < 200 && !YahooRunning(); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(YahooRunning());
}

std::vector<std::pair<std::size_t, std::size_t>> DifferingRuns(const std::vector<std::uint8_t>& a,
                                                               const std::vector<std::uint8_t>& b)
{
    if (a.size() != b.size())
        return {{a.size(), b.size()}};
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i])
            continue;
        if (!runs.empty() && runs.back().second + 1 == i)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
    }
    return runs;
}

}  // namespace quorvex::test
