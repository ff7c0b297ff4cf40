// What the program's command line asks for before any window exists: its
// version or its help. Every other argument is ignored.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvex {

// The text that "--version" or "--help" asks for, the first of them that
// appears; nothing when the windows are to be shown.
std::optional<std::string> CommandLineAnswer(std::span<char* const> arguments);

// Why no window can be shown, or nothing when a window system is named:
// DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or a "-platform" argument.
std::optional<std::string> MissingDisplayReason(std::span<char* const> arguments);

// The one line, ending in a line feed, that says the windows cannot be shown and why.
std::string CannotShowWindowsLine(std::string_view reason);

}  // namespace quorvex
