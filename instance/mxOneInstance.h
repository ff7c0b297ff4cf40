// The single-instance guard: at most one Quorvex runs per user login.
//
// When the main window is loaded, the guard claims a name, the application
// title, through the system's backend (platform/SingleInstance.h). When
// another instance holds it, the guard asks that instance to restore and
// bring forward its main window, and asks this one to end. No toolkit: the
// program's main window is reached through TInstanceWindow, and the program
// serves the requests of later starts from its event loop (ServeRequests).
#pragma once

#include "platform/SingleInstance.h"

#include <functional>
#include <memory>
#include <string>

namespace quorvex {

// The main window as the guard reaches it; each program implements it.
class TInstanceWindow {
public:
    // Restores the window when minimised; brings any other to the front.
    virtual void RestoreOrBringToFront() = 0;

protected:
    ~TInstanceWindow() = default;
};

class TmxOneInstance {
public:
    // The system's backend unless another is given.
    explicit TmxOneInstance(std::unique_ptr<TSingleInstanceBackend> backend = SystemSingleInstance());
    TmxOneInstance(const TmxOneInstance&) = delete;
    TmxOneInstance& operator=(const TmxOneInstance&) = delete;

    // End this instance when another one runs.
    bool Terminate = true;
    // Bring the other instance's main window forward when another one runs.
    bool SwitchToPrevious = true;
    // Called when another instance runs, before the switch and the termination.
    std::function<void(TmxOneInstance& sender)> OnInstanceExists;

    // Runs once, after the owning window is built and before its creation
    // handler: claims the title, or acts on the instance that holds it.
    // window is the main window that a later start restores and raises; it
    // outlives the guard. When the name cannot be claimed for another reason
    // than another instance (on Linux: its folder unusable, or not the
    // user's own), the reason goes to standard error and the backend's Error
    // is raised.
    void Loaded(const std::string& title, TInstanceWindow& window);
    // Brings the window forward when a later start asked since the last
    // call. Never waits; the program calls it from its event loop.
    void ServeRequests();

    bool MutexCreated() const { return mutexCreated_; }
    // Whether Loaded found the name taken (or could not claim it).
    bool InstanceExisted() const { return instanceExisted_; }
    // Whether this instance was asked to end; the program then ends once its
    // start-up has run, without entering the event loop.
    bool TerminateRequested() const { return terminateRequested_; }

private:
    bool Claim(const std::string& title);

    std::unique_ptr<TSingleInstanceBackend> backend_;
    TInstanceWindow* window_ = nullptr;
    bool mutexCreated_ = false;
    bool instanceExisted_ = false;
    bool terminateRequested_ = false;
};

}  // namespace quorvex
