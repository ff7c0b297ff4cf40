// Starting a Windows program (a downloaded installer) for the desktop,
// without waiting for it: on Linux under Wine in the prefix in use ("wine
// start /unix"), on Windows through the shell (ShellExecuteExW). The program
// runs in its own folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quorvex {

// Receives why a program did not start.
using TStartFailure = std::function<void(const std::string& reason)>;

// Starts the program that a path text names ("C:\..." or native) with the
// arguments given; nothing is started when the file does not exist. When it
// cannot be started, onFailure (if given) gets the reason (the system's or
// Wine's words): at once, or, under Wine, once Wine has ended, from the
// installed event pump's loop (platform/EventPump.h). The watch on Wine holds
// nothing else up.
void StartProgram(const std::string& program, const std::vector<std::string>& arguments, TStartFailure onFailure);

}  // namespace quorvex
