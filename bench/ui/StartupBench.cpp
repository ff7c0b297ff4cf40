// Start-up time of Quorvex beside an empty Qt window program: from starting
// the process to its main window being mapped on the X display. Run it under
// a display, e.g. xvfb-run -a -s "-screen 0 1024x768x24" ui_startup_bench.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

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

// Each start gets an empty Wine prefix and its own runtime folder, so that no
// messenger is found and no earlier instance is.
void MeasureStartUp(benchmark::State& state, const char* program, const char* title)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / ("quorvex-startup-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch / "prefix");
    std::filesystem::permissions(scratch, std::filesystem::perms::owner_all);
    setenv("WINEPREFIX", (scratch / "prefix").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    for (auto _ : state) {
        char* arguments[] = {const_cast<char*>(program), nullptr};
        pid_t child = 0;
        const Clock::time_point start = Clock::now();
        if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        while (!WindowShown(display, title, 521, 481)) {
            if (Clock::now() - start > std::chrono::seconds(30)) {
                state.SkipWithError("the window did not appear");
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    XCloseDisplay(display);
    std::filesystem::remove_all(scratch);
}

void BM_QuorvexStartUp(benchmark::State& state)
{
    MeasureStartUp(state, QUORVEX_EXE, "Quorvex");
}

void BM_EmptyQtWindowStartUp(benchmark::State& state)
{
    MeasureStartUp(state, EMPTY_WINDOW_EXE, "Empty");
}

BENCHMARK(BM_QuorvexStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_EmptyQtWindowStartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
