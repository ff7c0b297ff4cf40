#include "bench/ui/WindowStart.h"

#include <chrono>
#include <csignal>

#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace quorvex::bench {
namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr auto kWindowDeadline = std::chrono::seconds(30);
constexpr auto kEndDeadline = std::chrono::seconds(10);
// Longest wait on the display between two looks: a title set after its
// window was mapped sends no event that is watched.
constexpr int kLookIntervalMs = 5;

int IgnoreXErrors(Display*, XErrorEvent*)
{
    return 0;
}

// Whether a viewable top-level window looks so.
bool WindowShown(Display* display, const TWindowLook& look)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return false;
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        char* name = nullptr;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable
            || (look.Width != 0 && attributes.width != look.Width)
            || (look.Height != 0 && attributes.height != look.Height))
            continue;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            shown = look.Title == name;
            XFree(name);
        }
    }
    XFree(children);
    return shown;
}

// Waits until the display reports a change of the root window's children or
// the interval passes, without spinning.
void AwaitDisplayChange(Display* display)
{
    if (XPending(display) == 0) {
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, kLookIntervalMs);
    }
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

// Whether the process has ended; its CPU time is added when it has.
bool Reaped(pid_t child, double& cpuSeconds)
{
    rusage usage{};
    if (wait4(child, nullptr, WNOHANG, &usage) != child)
        return false;
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return true;
}

// Kills the process and waits for its end and its window's.
void End(Display* display, pid_t child, const TWindowLook& look, TStart& start)
{
    kill(child, SIGKILL);
    const Clock::time_point begin = Clock::now();
    bool ended = false;
    for (;;) {
        ended = ended || Reaped(child, start.ProcessCpuSeconds);
        if (ended && !WindowShown(display, look))
            return;
        if (Clock::now() - begin > kEndDeadline) {
            if (start.Error.empty())
                start.Error = ended ? "the window stayed after its program was killed" : "the program did not end";
            return;
        }
        AwaitDisplayChange(display);
    }
}

}  // namespace

TStart TimeToWindow(Display* display, const std::vector<std::string>& command, const TWindowLook& window)
{
    XSetErrorHandler(IgnoreXErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    TStart start;
    pid_t child = 0;
    const Clock::time_point begin = Clock::now();
    if (posix_spawnp(&child, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0)
        return {0, 0, "cannot start " + command[0]};
    while (!WindowShown(display, window)) {
        if (Reaped(child, start.ProcessCpuSeconds)) {
            start.Error = "the program ended before its window \"" + window.Title + "\" was shown";
            return start;
        }
        if (Clock::now() - begin > kWindowDeadline) {
            start.Error = "the window \"" + window.Title + "\" did not appear within 30 seconds";
            break;
        }
        AwaitDisplayChange(display);
    }
    start.Seconds = Seconds(Clock::now() - begin).count();
    End(display, child, window, start);
    return start;
}

}  // namespace quorvex::bench
