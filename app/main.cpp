// Quorvex: removes or replaces the adverts of a messenger installed in a Wine prefix.
#include "ui/qt/Application.h"
#include "ui/qt/CommandLine.h"
#include "ui/qt/Startup.h"

#include <cstdio>
#include <span>
#include <utility>

namespace {

// As quorvex-cli: 2 for a command line that does not follow the usage.
constexpr int kUsageError = 2;

}  // namespace

int main(int argc, char** argv)
{
    const std::span<char* const> arguments(argv + 1, argv + argc);
    const quorvex::TProgramArguments read = quorvex::ReadProgramArguments(arguments);
    if (read.Error) {
        std::fputs(quorvex::UsageErrorText(*read.Error).c_str(), stderr);
        return kUsageError;
    }
    if (read.Answer) {
        // A full disk or a closed output is a failure the caller must see.
        const bool written = std::fputs(read.Answer->c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    if (const auto reason = quorvex::MissingDisplayReason(arguments)) {
        std::fputs(quorvex::CannotShowWindowsLine(*reason).c_str(), stderr);
        return 1;
    }
    quorvex::TStartupReadAhead readAhead(read.Prefix);
    quorvex::TQuorvexApplication application(argc, argv);
    return quorvex::RunQuorvex(std::move(readAhead));
}
