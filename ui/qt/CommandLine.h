// What the program's command line asks for before any window exists: its
// version, its help, or the windows on the Wine prefix it names. The toolkit's
// own options are left to the toolkit; any other argument is refused.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvex {

struct TProgramArguments {
    std::string Prefix;                 // given with --prefix; empty when none was
    std::optional<std::string> Answer;  // the text of the first --version or --help
    std::optional<std::string> Error;   // why the arguments are refused
};

TProgramArguments ReadProgramArguments(std::span<char* const> arguments);

// The refusal of a command line, for standard error: the reason, then the usage.
std::string UsageErrorText(std::string_view error);

// Why no window can be shown, or nothing when a window system is named:
// DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or a "-platform" argument.
std::optional<std::string> MissingDisplayReason(std::span<char* const> arguments);

// The one line, ending in a line feed, that says the windows cannot be shown and why.
std::string CannotShowWindowsLine(std::string_view reason);

}  // namespace quorvex
