// The application's windows, created in the start-up order.
#pragma once

#include "ui/uQuorvex.h"
#include "ui/uUpdate.h"

#include <memory>

namespace quorvex {

// Destroyed in reverse order: the main window (and the windows it made) before
// the splash.
struct TQuorvexWindows {
    std::unique_ptr<TfrmUpdate> splash;
    std::unique_ptr<TfrmQuorvex> main;
};

// Shows and paints the update splash, then creates the main window (its guard
// and FormCreate run inside); the status, help and editor windows are made by
// the main window when first needed.
TQuorvexWindows CreateWindows();

// When the Wine prefix in use holds no messenger under the default folder,
// the first prefix of a Wine front-end that does becomes the one in use.
void UseMessengerPrefix();

// Runs the whole program on an application object: the prefix's choice, the
// windows, then the event loop with the main window shown. Returns the
// program's exit code; an error while the windows are created is reported and
// ends it with 1.
int RunQuorvex();

}  // namespace quorvex
