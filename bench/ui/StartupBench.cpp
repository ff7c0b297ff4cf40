// Start-up time of Quorvex beside a window showing one label and an empty Qt
// window: from starting the process to its main window being mapped on the X
// display. Run it under a display, e.g.
// xvfb-run -a -s "-screen 0 1024x768x24" ui_startup_bench.
#include "tools/fakemessenger/FakeMessenger.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A window that the started program destroys between listing the windows and
// asking about one is simply not shown; Xlib's default handler would end the
// benchmark instead.
int IgnoreGoneWindows(Display*, XErrorEvent*)
{
    return 0;
}

// Whether a viewable top-level window has this title and size.
bool WindowShown(Display* display, const char* title, int width, int height)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return false;
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable
            || attributes.width != width || attributes.height != height)
            continue;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            shown = std::string(name) == title;
            XFree(name);
        }
    }
    XFree(children);
    return shown;
}

using Seconds = std::chrono::duration<double>;

// Starts the program and waits until its window is shown; its time, or an
// error text.
struct TStart {
    double seconds = 0;
    const char* error = nullptr;
};

TStart TimeToWindow(Display* display, const char* program, const char* title)
{
    char* arguments[] = {const_cast<char*>(program), nullptr};
    pid_t child = 0;
    const Clock::time_point start = Clock::now();
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0)
        return {0, "cannot start the program"};
    TStart result;
    while (!WindowShown(display, title, 521, 481)) {
        if (Clock::now() - start > std::chrono::seconds(30)) {
            result.error = "the window did not appear";
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    result.seconds = Seconds(Clock::now() - start).count();
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return result;
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
    XSetErrorHandler(IgnoreGoneWindows);
    const TStartUpPrefix prefix(static_cast<std::size_t>(state.range(0)) << 20);
    double quorvex = 0;
    double label = 0;
    double empty = 0;
    for (auto _ : state) {
        const TStart starts[] = {TimeToWindow(display, QUORVEX_EXE, "Quorvex"),
                                 TimeToWindow(display, LABEL_WINDOW_EXE, "Label"),
                                 TimeToWindow(display, EMPTY_WINDOW_EXE, "Empty")};
        if (const auto failed = std::ranges::find_if(starts, [](const TStart& s) { return s.error != nullptr; });
            failed != std::end(starts)) {
            state.SkipWithError(failed->error);
            break;
        }
        quorvex += starts[0].seconds;
        label += starts[1].seconds;
        empty += starts[2].seconds;
        state.SetIterationTime(starts[0].seconds);
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
