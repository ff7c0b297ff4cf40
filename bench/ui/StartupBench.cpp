// Start-up time of Quorvex beside a window showing one label and an empty Qt
// window: from starting the process to its main window being mapped on the X
// display. Run it under a display, e.g.
// xvfb-run -a -s "-screen 0 1024x768x24" ui_startup_bench.
#include "bench/ui/WindowStart.h"
#include "tools/fakemessenger/FakeMessenger.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

using quorvex::bench::TimeToWindow;
using quorvex::bench::TStart;
using quorvex::bench::TWindowLook;

// The Linux windows' design size.
TWindowLook MainWindowSized(const char* title)
{
    return {title, 521, 481};
}

// A prefix holding the synthetic messenger, its system.reg padded to the
// size asked for, and a runtime folder of its own so that no earlier
// instance is found.
class TStartUpPrefix {
public:
    explicit TStartUpPrefix(std::size_t systemRegistryBytes)
        : scratch_(std::filesystem::temp_directory_path() / ("quorvex-startup-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(scratch_ / "run");
        std::filesystem::permissions(scratch_ / "run", std::filesystem::perms::owner_all);
        quorvex::TFakeMessengerOptions options;
        options.SystemRegistryPadding = systemRegistryBytes;
        quorvex::CreateFakeMessenger(scratch_ / "prefix", options);
        setenv("WINEPREFIX", (scratch_ / "prefix").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (scratch_ / "run").c_str(), 1);
    }
    ~TStartUpPrefix() { std::filesystem::remove_all(scratch_); }

private:
    std::filesystem::path scratch_;
};

// Quorvex, the one-label window and the empty window started in turn, so
// that the machine's load weighs on all three alike; the time of an
// iteration is Quorvex's, the counters give the ratios.
void BM_StartUpBesideOneLabel(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    const TStartUpPrefix prefix(static_cast<std::size_t>(state.range(0)) << 20);
    double quorvex = 0;
    double label = 0;
    double empty = 0;
    for (auto _ : state) {
        const TStart starts[] = {TimeToWindow(display, {QUORVEX_EXE}, MainWindowSized("Quorvex")),
                                 TimeToWindow(display, {LABEL_WINDOW_EXE}, MainWindowSized("Label")),
                                 TimeToWindow(display, {EMPTY_WINDOW_EXE}, MainWindowSized("Empty"))};
        if (const auto failed = std::ranges::find_if(starts, [](const TStart& s) { return !s.Error.empty(); });
            failed != std::end(starts)) {
            state.SkipWithError(failed->Error.c_str());
            break;
        }
        quorvex += starts[0].Seconds;
        label += starts[1].Seconds;
        empty += starts[2].Seconds;
        state.SetIterationTime(starts[0].Seconds);
    }
    XCloseDisplay(display);
    if (label > 0 && empty > 0) {
        const double runs = static_cast<double>(state.iterations());
        state.counters["label_ms"] = label * 1000 / runs;
        state.counters["empty_ms"] = empty * 1000 / runs;
        state.counters["ratio_to_label"] = quorvex / label;
        state.counters["ratio_to_empty"] = quorvex / empty;
    }
}

// By the size of system.reg in MB: a fresh prefix's, and one with many programs.
BENCHMARK(BM_StartUpBesideOneLabel)->Arg(2)->Arg(20)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
