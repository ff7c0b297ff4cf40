// The console report of a benchmark program, followed by the ratios that
// tell whether a goal is met: the mean iteration time of one benchmark over
// that of its floor, one line per pair, by real time and by this process's
// CPU time (which the load of other programs on the machine does not swell).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::bench {

// (measured benchmark, floor benchmark), by their full names.
using TRatios = std::vector<std::pair<std::string, std::string>>;

class TRatioReporter final : public benchmark::ConsoleReporter {
public:
    explicit TRatioReporter(TRatios ratios) : ratios_(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                const double iterations = static_cast<double>(run.iterations);
                times_[run.benchmark_name()] = {run.real_accumulated_time / iterations,
                                                run.cpu_accumulated_time / iterations};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [measured, floor] : ratios_) {
            const auto top = times_.find(measured);
            const auto bottom = times_.find(floor);
            if (top == times_.end() || bottom == times_.end() || bottom->second.Real <= 0 || bottom->second.Cpu <= 0)
                continue;
            std::printf("ratio %s / %s = %.2f (CPU time %.2f)\n", measured.c_str(), floor.c_str(),
                        top->second.Real / bottom->second.Real, top->second.Cpu / bottom->second.Cpu);
        }
        std::fflush(stdout);
    }

private:
    struct TTimes {
        double Real = 0;  // seconds per iteration
        double Cpu = 0;
    };

    TRatios ratios_;
    std::map<std::string, TTimes> times_;
};

// Runs the benchmarks that the command line selects and prints the ratios.
inline int RunWithRatios(int argc, char** argv, TRatios ratios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace quorvex::bench
