// Starting a windowed program and timing it to its top-level window shown
// on the X display: the start-up benchmarks of the Linux program and of
// quorvex.exe under Wine.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace quorvex::bench {

// The top-level window waited for: its title, and its size where not 0.
struct TWindowLook {
    std::string Title;
    int Width = 0;
    int Height = 0;
};

// One start: the time from starting the process to its window shown, and
// the CPU time that the process used until it was ended; or why there was no
// window.
struct TStart {
    double Seconds = 0;
    double ProcessCpuSeconds = 0;
    std::string Error;
};

// Starts the command (its first word found on PATH), waits up to 30 seconds
// for the window to be shown, then kills the process and waits, within
// bounds, until it has ended and its window is gone, so that the next start
// finds nothing of it. Xlib errors are ignored from here on: the window of
// another program may be destroyed while it is looked at.
TStart TimeToWindow(Display* display, const std::vector<std::string>& command, const TWindowLook& window);

}  // namespace quorvex::bench
