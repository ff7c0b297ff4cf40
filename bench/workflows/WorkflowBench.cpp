// The advert apply of all nine options on a 16 MiB synthetic executable, with
// the real status window and the event loop served as the program serves it,
// beside its floor: reading that executable once and writing it twice (the
// backup and the patched executable) through the same file layer. Each apply
// starts from the unpatched executable and registry.
//
// The messenger settings change (all three settings, as the apply switches
// them) on a 2 MB user.reg, beside one read and one durable write of that file.
//
// The backup alone on an xfs image with reflink (needs the superuser and a
// loop device, else skipped): by copy-on-write clone beside written out.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise, in the temporary
// folder (TMPDIR, else /tmp).
#include "archive/Catalogue.h"
#include "bench/RatioReporter.h"
#include "engine/TQuorvex.h"
#include "platform/wine/NativeFile.h"
#include "platform/Platform.h"
#include "platform/wine/WinePrefix.h"
#include "tests/fixtures/ReflinkMount.h"
#include "tools/fakemessenger/FakeMessenger.h"
#include "ui/qt/QtEventPump.h"
#include "ui/qt/uStatus.h"
#include "workflows/WorkflowSteps.h"
#include "workflows/Workflows.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <stdlib.h>

#include <filesystem>
#include <optional>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kImageSize = std::size_t{16} << 20;
constexpr char kFolder[] = "C:\\Program Files\\Yahoo!\\Messenger";

// A prefix with the 16 MiB messenger in base, made the process's prefix and
// working folder for the benchmark's life.
class TBenchPrefix {
public:
    explicit TBenchPrefix(std::size_t userRegistryPadding = 0, const fs::path& base = fs::temp_directory_path())
    {
        std::string pattern = (base / "quorvex-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        options_.ImageSize = kImageSize;
        options_.UserRegistryPadding = userRegistryPadding;
        image_ = CreateFakeMessenger(folder_, options_);
        ::setenv("WINEPREFIX", folder_.c_str(), 1);
        fs::create_directory(folder_ / "working");
        fs::current_path(folder_ / "working");
    }
    ~TBenchPrefix()
    {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(folder_);
    }

    // The executable, the registry and the HTML replacement file as before any apply.
    void Reset() const
    {
        WriteNativeFileAtomically(Executable(), image_.Bytes);
        ResetRegistry();
        fs::remove(folder_ / "drive_c" / "BlankQuorvex.html");
    }

    // The registry as before any apply.
    void ResetRegistry() const { WriteText(UserRegistry(), FakeUserRegistry(options_)); }

    fs::path Executable() const { return folder_ / kFakeMessengerFolder / "YahooMessenger.exe"; }
    fs::path UserRegistry() const { return folder_ / "user.reg"; }

private:
    static void WriteText(const fs::path& path, const std::string& text)
    {
        WriteNativeFileAtomically(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }

    fs::path folder_;
    TFakeMessengerOptions options_;
    TFakeImage image_;
};

// All nine advert options ticked; the status window is the program's own.
class TBenchHost final : public IWorkflowHost {
public:
    explicit TBenchHost(TfrmStatus& status) : log_(status.Form()) {}

    bool Ticked(int) const override { return ticked_; }
    bool AnyTicked() const override { return ticked_; }
    void UntickAll() override { ticked_ = false; }
    void Tick() { ticked_ = true; }
    std::string MessengerFolder() const override { return kFolder; }
    std::uint32_t AdvertColor() const override { return 0xFFFFFF; }
    IStatusLog& StatusLog() override { return log_; }
    void ShowMessage(const std::string&) override { ++messages_; }
    void AdvertOptionRefresh() override {}
    int Messages() const { return messages_; }

private:
    IStatusLog& log_;
    bool ticked_ = true;
    int messages_ = 0;
};

void WholeAdvertApply(benchmark::State& state)
{
    const TBenchPrefix prefix;
    TfrmStatus status([] { return std::string(kFolder); });
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TQuorvex engine;
    engine.YahooMajor = 10;
    TBenchHost host(status);
    const TQtEventPump pump;
    for (auto _ : state) {
        state.PauseTiming();
        prefix.Reset();
        status.Close();
        host.Tick();
        state.ResumeTiming();
        ApplyAdvertOptions(engine, storage, host);
    }
    if (host.Messages() != 0 || engine.CheckSmiley())
        state.SkipWithError("the apply did not run through");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}
BENCHMARK(WholeAdvertApply)->Unit(benchmark::kMillisecond);

// The apply's floor: the executable read once, the backup and the patched
// executable written (each a new file flushed to disk and renamed).
void ReadOnceAndWriteTwice(benchmark::State& state)
{
    const TBenchPrefix prefix;
    const std::string executable = std::string(kFolder) + "\\YahooMessenger.exe";
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = FileSystem().ReadFile(executable);
        FileSystem().WriteFile(std::string(kBackupName), bytes);
        FileSystem().WriteFile(executable, bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}
BENCHMARK(ReadOnceAndWriteTwice)->Unit(benchmark::kMillisecond);

constexpr std::size_t kLargeUserRegistry = std::size_t{2} << 20;

// The server folder that Wine leaves for a prefix it has run in, its lock
// free as after the wineserver ended (Debian's place for it).
class TIdleServerFolder {
public:
    explicit TIdleServerFolder(const fs::path& prefix)
    {
        std::string pattern = "/tmp/wine-XXXXXX";
        parent_ = ::mkdtemp(pattern.data());
        fs::create_directory(parent_ / ServerFolderName(prefix));
        WriteNativeFileAtomically(parent_ / ServerFolderName(prefix) / "lock", {});
    }
    ~TIdleServerFolder() { fs::remove_all(parent_); }

private:
    fs::path parent_;
};

// The three settings switched as the advert apply switches them, from
// "Launch on Startup" 1 with both Run entries, "SmileySearch" 1 and no
// "Plural". Argument 1: the prefix has the server folder of a prefix Wine
// has run in; 0: it has none, so every process is looked at instead.
void SettingsChange(benchmark::State& state)
{
    const TBenchPrefix prefix(kLargeUserRegistry);
    std::optional<TIdleServerFolder> serverFolder;
    if (state.range(0) == 1)
        serverFolder.emplace(WinePrefix());
    TQuorvex engine;
    for (auto _ : state) {
        state.PauseTiming();
        prefix.ResetRegistry();
        state.ResumeTiming();
        benchmark::DoNotOptimize(engine.YahooMulti(engine.CheckMulti()));
        benchmark::DoNotOptimize(engine.AutoStart());
        benchmark::DoNotOptimize(engine.SmileySearch(engine.CheckSmiley()));
    }
    if (!engine.CheckMulti() || engine.CheckSmiley() || engine.CheckAuto())
        state.SkipWithError("the settings did not change");
}
BENCHMARK(SettingsChange)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void ReadUserRegistryAndWriteItOnce(benchmark::State& state)
{
    const TBenchPrefix prefix(kLargeUserRegistry);
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = ReadNativeFile(prefix.UserRegistry());
        WriteNativeFileAtomically(prefix.UserRegistry(), bytes);
    }
}
BENCHMARK(ReadUserRegistryAndWriteItOnce)->Unit(benchmark::kMillisecond);

// What each of the apply's small file replacements costs on the same disk:
// the IM window skin, the HTML replacement file and every registry change
// are written this way (new file flushed to disk, renamed over the old).
void ReplaceASmallFile(benchmark::State& state)
{
    const TBenchPrefix prefix;
    const std::vector<std::uint8_t> bytes(5 * 1024, 'x');
    for (auto _ : state)
        FileSystem().WriteFile(std::string(kFolder) + "\\skins\\Default\\IMWindow\\IMWindow.xml", bytes);
}
BENCHMARK(ReplaceASmallFile)->Unit(benchmark::kMillisecond);

// The backup alone, as the apply makes it, on an xfs image with reflink
// mounted from a loop device (needs the superuser). Argument 1: the image is
// the executable as loaded, so the backup is a copy-on-write clone of it; 0:
// the image was patched first, so it is written out in full (a new file
// flushed to disk and renamed), as on a file system that cannot clone.
void BackupOnXfs(benchmark::State& state)
{
    const test::TReflinkMount mount;
    if (!mount.Mounted()) {
        state.SkipWithError(mount.Refusal().c_str());
        return;
    }
    const TBenchPrefix prefix(0, mount.Path());
    TQuorvex engine;
    engine.YahooMessengerPath = kFolder;
    engine.LoadYahooMessenger();
    if (state.range(0) == 0 && !engine.Urls()) {
        state.SkipWithError("the image could not be patched");
        return;
    }
    for (auto _ : state) {
        if (!engine.CreateBackup(std::string(kBackupName))) {
            state.SkipWithError("no backup was made");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kImageSize));
}
BENCHMARK(BackupOnXfs)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return quorvex::bench::RunWithRatios(argc, argv,
                                         {{"WholeAdvertApply", "ReadOnceAndWriteTwice"},
                                          {"SettingsChange/1", "ReadUserRegistryAndWriteItOnce"},
                                          {"SettingsChange/0", "ReadUserRegistryAndWriteItOnce"},
                                          {"BackupOnXfs/1", "BackupOnXfs/0"}});
}
