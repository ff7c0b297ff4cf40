// The program's event loop as the layers below the windows see it, without a
// toolkit. The windowed program installs one pump (Qt's event loop on Linux);
// a program without windows installs none.
//
// The engine's long scans serve it between their blocks, and a synchronous
// HTTP request between the slices of its own wait on the sockets, so windows
// repaint, timers fire and handlers (a Cancel button that aborts the request)
// run nested inside them.
#pragma once

#include <functional>

namespace quorvex {

class TEventPump {
public:
    virtual ~TEventPump() = default;

    // Serves the program's pending events once without blocking. False when
    // the program's loop has ended (the program is quitting): a waiting
    // request is then aborted.
    virtual bool ServeOnce() = 0;
    // Runs action later from the program's own loop.
    virtual void Post(std::function<void()> action) = 0;
    // Calls serve every few milliseconds from the program's loop until
    // StopServing, also from a loop that a handler runs of its own (a modal
    // window), so that a request waiting behind it goes on.
    virtual void StartServing(std::function<void()> serve) = 0;
    virtual void StopServing() = 0;
};

// Installs the pump of this process's user-interface thread (nullptr for
// none) and returns the one installed before. The pump is not owned.
TEventPump* SetEventPump(TEventPump* pump);
TEventPump* InstalledEventPump();

// Serves the installed pump once, if there is one; its answer, else true.
bool ServeEventLoop();

}  // namespace quorvex
