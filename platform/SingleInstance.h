// The system's side of the single-instance guard (instance/mxOneInstance.h):
// a name that one process of the user's holds at a time, and a way for a
// later start to ask the holder to bring its main window forward.
//
// Linux (platform/wine/LocalInstance.h): a per-user lock and a local socket
// in the user's private runtime folder; the holder takes the requests from
// its event loop. Windows (platform/win32/Win32Instance.h): a named mutex;
// the holder's window is found by its title and brought forward by the
// system itself.
#pragma once

#include <memory>
#include <string>

namespace quorvex {

class TSingleInstanceBackend {
public:
    virtual ~TSingleInstanceBackend() = default;

    // Claims name for this process until the object goes: true when it is
    // now this process's, false when another instance holds it (or, on
    // Windows, when the system gave no handle). Throws Error with the
    // system's reason when the name cannot be claimed for another reason.
    virtual bool Claim(const std::string& name) = 0;
    // Asks the instance that holds name to restore its main window if it is
    // minimised and bring it to the front. Best effort: every wait has an
    // end, and a holder that cannot be reached is left alone.
    virtual void AskHolderToComeForward(const std::string& name) = 0;
    // How many requests of later starts arrived since the last call, taken
    // without waiting. Always 0 where the system brings the window forward
    // itself (Windows), and in a process that holds no name.
    virtual int TakeComeForwardRequests() = 0;
};

// This system's backend.
std::unique_ptr<TSingleInstanceBackend> SystemSingleInstance();

}  // namespace quorvex
