// The console report of a benchmark program, followed by the ratios that
// tell whether a goal is met: the mean iteration time of one benchmark over
// that of its floor, one line per pair, by real time and by this process's
// CPU time (which the load of other programs on the machine does not swell).
// A benchmark's repetitions count together; a benchmark that gives its times
// by hand (manual time) has its work done elsewhere, so its CPU time is left
// out.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::bench {

// A measured benchmark and its floor, by their full names, and the largest
// ratio of their real times that meets the goal (0: no goal stated).
struct TRatio {
    std::string Measured;
    std::string Floor;
    double AtMost = 0;
};
using TRatios = std::vector<TRatio>;

class TRatioReporter final : public benchmark::ConsoleReporter {
public:
    explicit TRatioReporter(TRatios ratios) : ratios_(std::move(ratios)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                TTimes& times = times_[run.benchmark_name()];
                times.Real += run.real_accumulated_time;
                times.Cpu += run.cpu_accumulated_time;
                times.Iterations += static_cast<double>(run.iterations);
                times.ManualTime = run.run_name.time_type == "manual_time";
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const TRatio& ratio : ratios_) {
            const auto top = times_.find(ratio.Measured);
            const auto bottom = times_.find(ratio.Floor);
            if (top == times_.end() || bottom == times_.end() || bottom->second.Real <= 0)
                continue;
            const double real = top->second.MeanReal() / bottom->second.MeanReal();
            std::printf("ratio %s / %s = %.2f", ratio.Measured.c_str(), ratio.Floor.c_str(), real);
            if (!top->second.ManualTime && !bottom->second.ManualTime && bottom->second.Cpu > 0)
                std::printf(" (CPU time %.2f)", top->second.MeanCpu() / bottom->second.MeanCpu());
            if (ratio.AtMost > 0)
                std::printf(", goal at most %.2f: %s", ratio.AtMost, real <= ratio.AtMost ? "met" : "NOT MET");
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    struct TTimes {
        double Real = 0;  // seconds, over all iterations
        double Cpu = 0;
        double Iterations = 0;
        bool ManualTime = false;

        double MeanReal() const { return Real / Iterations; }
        double MeanCpu() const { return Cpu / Iterations; }
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
