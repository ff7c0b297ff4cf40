// The update checker's ways out to the user and the desktop
// (forms/UpdateSeams.h) as the Qt program gives them.
#pragma once

#include "forms/UpdateSeams.h"

#include <memory>

namespace quorvex {

// The show commands by their Windows names, for the Qt program's callers.
enum TShowCommand : int {
    SW_HIDE = kShowHide,
    SW_SHOWNORMAL = kShowNormal,
    SW_SHOWNOACTIVATE = kShowNoActivate,
    SW_RESTORE = kShowRestore
};

// The desktop implementations: Qt message boxes over the active window, the
// desktop's URL and file handlers (Windows programs through Wine), the
// application object.
std::shared_ptr<IMessageBoxes> DesktopMessageBoxes();
std::shared_ptr<IShell> DesktopShell();
std::shared_ptr<IApplicationControl> DesktopApplicationControl();
// The event loop's timer.
std::shared_ptr<IDeadlineTimer> DesktopDeadlineTimer();

}  // namespace quorvex
