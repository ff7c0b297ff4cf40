// The application's windows, created in the start-up order.
#pragma once

#include "ui/qt/uQuorvex.h"
#include "ui/qt/uUpdate.h"
#include "workflows/MessengerLocation.h"

#include <memory>
#include <string>
#include <thread>

namespace quorvex {

// Destroyed in reverse order: the main window (and the windows it made) before
// the splash.
struct TQuorvexWindows {
    std::unique_ptr<TfrmUpdate> splash;
    std::unique_ptr<TfrmQuorvex> main;
};

// Shows and paints the update splash, then creates the main window (its guard
// and FormCreate run inside) on the messenger location chosen at start-up
// (none: the prefix in use); the status, help and editor windows are made by
// the main window when first needed.
TQuorvexWindows CreateWindows(const TMessengerLocation& location = {});

// Chooses the messenger's location as quorvex-cli does (LocateMessenger):
// the prefix given with --prefix (may be empty), else the environment's, else
// the first prefix of a Wine front-end holding a messenger; the default folder.
TMessengerLocation UseMessengerPrefix(const std::string& givenPrefix = {});

// Chooses the location (UseMessengerPrefix), then reads the registry
// values that the main window shows as it is made, on another thread: made
// before the application object, the reading overlaps the toolkit's start and
// the windows find the registry files in memory. Wait() ends the reading; it
// must end before the event loop runs, where the user may choose another
// prefix.
class TStartupReadAhead {
public:
    explicit TStartupReadAhead(const std::string& givenPrefix = {});
    void Wait();
    const TMessengerLocation& Location() const { return location_; }

private:
    TMessengerLocation location_;
    std::jthread reader_;
};

// Runs the whole program on an application object: the windows, then the
// event loop with the main window shown, the read-ahead (started by the
// caller, or here) ended before it. Returns the program's exit code; an error
// while the windows are created is reported and ends it with 1.
int RunQuorvex(TStartupReadAhead readAhead = TStartupReadAhead());

}  // namespace quorvex
