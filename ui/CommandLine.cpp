#include "ui/CommandLine.h"

#include <quorvex/BuildConfig.h>

#include <QtGlobal>

#include <algorithm>

namespace quorvex {
namespace {

std::string VersionText()
{
    return std::string("Quorvex ") + config::kVersion + "\n";
}

std::string HelpText()
{
    return "Usage: quorvex [--help | --version]\n"
           "Removes or replaces the adverts of a messenger installed in a Wine prefix and\n"
           "trims its user interface. Everything else happens in its window.\n"
           "\n"
           "The Wine prefix is $WINEPREFIX, else ~/.wine, unless the messenger folder\n"
           "chosen in the window lies inside another prefix.\n"
           "\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "\n"
           "Other arguments are ignored.\n";
}

}  // namespace

std::optional<std::string> CommandLineAnswer(std::span<char* const> arguments)
{
    for (const std::string_view argument : arguments) {
        if (argument == "--version")
            return VersionText();
        if (argument == "--help")
            return HelpText();
    }
    return std::nullopt;
}

std::optional<std::string> MissingDisplayReason(std::span<char* const> arguments)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return std::nullopt;
    }
    const auto namesPlatform = [](std::string_view argument) {
        return argument == "-platform" || argument == "--platform";
    };
    if (std::ranges::any_of(arguments, namesPlatform))
        return std::nullopt;
    return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
}

std::string CannotShowWindowsLine(std::string_view reason)
{
    return "quorvex: cannot show its windows: " + std::string(reason) + "\n";
}

}  // namespace quorvex
