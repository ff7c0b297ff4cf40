// Quorvex: removes or replaces the adverts of a messenger installed in a Wine prefix.
#include "engine/EventLoopHook.h"
#include "ui/Application.h"
#include "ui/CommandLine.h"
#include "ui/Startup.h"

#include <cstdio>
#include <span>
#include <utility>

int main(int argc, char** argv)
{
    const std::span<char* const> arguments(argv + 1, argv + argc);
    if (const auto answer = quorvex::CommandLineAnswer(arguments)) {
        // A full disk or a closed output is a failure the caller must see.
        const bool written = std::fputs(answer->c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
        return written ? 0 : 1;
    }
    if (const auto reason = quorvex::MissingDisplayReason(arguments)) {
        std::fputs(quorvex::CannotShowWindowsLine(*reason).c_str(), stderr);
        return 1;
    }
    quorvex::TStartupReadAhead readAhead;
    quorvex::TQuorvexApplication application(argc, argv);
    // The engine's pattern scans serve the event loop while they run.
    quorvex::SetEventLoopHook([] { QCoreApplication::processEvents(); });
    return quorvex::RunQuorvex(std::move(readAhead));
}
