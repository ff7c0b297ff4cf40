#include "ui/qt/CommandLine.h"

#include <quorvex/BuildConfig.h>

#include <QtGlobal>

#include <algorithm>
#include <array>

namespace quorvex {
namespace {

// The toolkit's own options (one dash or two), which it takes from the command
// line itself: those followed by a value, then those standing alone.
constexpr std::array<std::string_view, 14> kToolkitOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin",   "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session",  "display",            "geometry",      "style",    "stylesheet",      "name",        "title",
};
constexpr std::array<std::string_view, 6> kToolkitFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                                           "qmljsdebugger"};

std::string HelpText()
{
    return "Usage: quorvex [--prefix DIR] [--help | --version]\n"
           "Removes or replaces the adverts of a messenger installed in a Wine prefix and\n"
           "trims its user interface. Everything else happens in its window.\n"
           "\n"
           "The Wine prefix is the one given with --prefix, else $WINEPREFIX, else ~/.wine;\n"
           "where that holds no messenger, the first prefix of a Wine front-end (winetricks,\n"
           "Bottles, Lutris, PlayOnLinux) that does. A messenger folder chosen in the window\n"
           "inside another prefix moves to that prefix.\n"
           "\n"
           "  --prefix DIR  the Wine prefix to work on\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "The Qt toolkit's own options (-platform, -style, -display, ...) are taken too.\n"
           "quorvex-cli(1) runs the same work from the command line.\n";
}

// The option's name without its dashes and any "=value"; empty for a word
// that is not an option.
std::string_view OptionName(std::string_view argument)
{
    if (!argument.starts_with('-'))
        return {};
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    return argument.substr(0, argument.find('='));
}

template <std::size_t N>
bool Among(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::ranges::find(names, name) != names.end();
}

}  // namespace

TProgramArguments ReadProgramArguments(std::span<char* const> arguments)
{
    TProgramArguments read;
    for (std::size_t index = 0; index < arguments.size() && !read.Error; ++index) {
        const std::string_view argument = arguments[index];
        const std::string_view name = OptionName(argument);
        const bool hasValue = argument.find('=') != std::string_view::npos;
        const bool valueFollows = index + 1 < arguments.size() && *arguments[index + 1] != '\0';
        if (argument == "--version" || argument == "--help") {
            if (!read.Answer)
                read.Answer = argument == "--version" ? config::kVersionLine : HelpText();
        } else if (argument == "--prefix") {
            if (!valueFollows)
                read.Error = "--prefix needs a folder";
            else
                read.Prefix = arguments[++index];
        } else if (Among(kToolkitOptionsWithValue, name)) {
            index += hasValue ? 0 : 1;
        } else if (!Among(kToolkitFlags, name)) {
            read.Error = "unknown argument \"" + std::string(argument) + "\"";
        }
    }
    return read;
}

std::string UsageErrorText(std::string_view error)
{
    return "quorvex: " + std::string(error) + "\n\n" + HelpText();
}

std::optional<std::string> MissingDisplayReason(std::span<char* const> arguments)
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return std::nullopt;
    }
    const auto namesPlatform = [](std::string_view argument) { return OptionName(argument) == "platform"; };
    if (std::ranges::any_of(arguments, namesPlatform))
        return std::nullopt;
    return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
}

std::string CannotShowWindowsLine(std::string_view reason)
{
    return "quorvex: cannot show its windows: " + std::string(reason) + "\n";
}

}  // namespace quorvex
