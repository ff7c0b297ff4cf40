// Start-up time of quorvex.exe under Wine beside a Win32 window showing one
// label (quorvex_one_label_window.exe): from starting `wine PROGRAM` to the
// program's main window shown on the X display. The goal: quorvex.exe's
// time at most 1.3 times the one-label window's.
//
//   win32_startup_bench QUORVEX_EXE ONE_LABEL_EXE [--benchmark_...]
//
// It needs a display and a Wine prefix (DISPLAY, WINEPREFIX) whose server and
// services already run, so that neither program pays their start:
// scripts/bench-windows-startup.sh makes both and ends them afterwards. Each
// program is started once untimed first, then ten times each (one start a
// repetition), the two programs' starts shuffled together so that the
// machine's load weighs on both alike. The CPU time of a start is the Wine
// process's own (wine_cpu_ms), beside the wineserver's and the X server's
// work that it causes.
#include "bench/RatioReporter.h"
#include "bench/ui/WindowStart.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using quorvex::bench::TimeToWindow;
using quorvex::bench::TStart;
using quorvex::bench::TWindowLook;

Display* gDisplay = nullptr;

struct TProgram {
    std::string Exe;
    TWindowLook Window;
};

TStart StartUnderWine(const TProgram& program)
{
    return TimeToWindow(gDisplay, {"wine", program.Exe}, program.Window);
}

void StartUp(benchmark::State& state, const TProgram& program)
{
    double cpu = 0;
    for (auto _ : state) {
        const TStart start = StartUnderWine(program);
        if (!start.Error.empty()) {
            state.SkipWithError(start.Error.c_str());
            break;
        }
        state.SetIterationTime(start.Seconds);
        cpu += start.ProcessCpuSeconds;
    }
    state.counters["wine_cpu_ms"] = benchmark::Counter(cpu * 1000, benchmark::Counter::kAvgIterations);
}

// The benchmark flags' defaults for this program, then the caller's flags
// (a later flag wins).
std::vector<char*> BenchmarkArguments(char* program, char** flags, int flagCount)
{
    static char interleaved[] = "--benchmark_enable_random_interleaving=true";
    static char repetitions[] = "--benchmark_repetitions=10";
    std::vector<char*> arguments{program, interleaved, repetitions};
    arguments.insert(arguments.end(), flags, flags + flagCount);
    arguments.push_back(nullptr);
    return arguments;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argv[1][0] == '-' || argv[2][0] == '-') {
        std::fprintf(stderr, "usage: %s QUORVEX_EXE ONE_LABEL_EXE [--benchmark_...]\n", argv[0]);
        return 2;
    }
    if (std::getenv("WINEPREFIX") == nullptr) {
        std::fprintf(stderr, "%s: WINEPREFIX is not set: give the prefix whose server and services run\n", argv[0]);
        return 2;
    }
    gDisplay = XOpenDisplay(nullptr);
    if (gDisplay == nullptr) {
        std::fprintf(stderr, "%s: cannot open the X display \"%s\"\n", argv[0], XDisplayName(nullptr));
        return 1;
    }
    const TProgram quorvex{argv[1], {"Quorvex"}};
    const TProgram oneLabel{argv[2], {"One Label"}};
    // Untimed first starts: Wine and the page cache have seen both programs.
    for (const TProgram* program : {&quorvex, &oneLabel}) {
        if (const TStart start = StartUnderWine(*program); !start.Error.empty()) {
            std::fprintf(stderr, "%s: %s: %s\n", argv[0], program->Exe.c_str(), start.Error.c_str());
            return 1;
        }
    }
    benchmark::RegisterBenchmark("QuorvexUnderWine", StartUp, quorvex)
        ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("OneLabelWindowUnderWine", StartUp, oneLabel)
        ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
    std::vector<char*> arguments = BenchmarkArguments(argv[0], argv + 3, argc - 3);
    const int status = quorvex::bench::RunWithRatios(
        static_cast<int>(arguments.size()) - 1, arguments.data(),
        {{"QuorvexUnderWine/iterations:1/manual_time", "OneLabelWindowUnderWine/iterations:1/manual_time", 1.3}});
    XCloseDisplay(gDisplay);
    return status;
}
