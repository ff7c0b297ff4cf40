// The update checker's ways out to the user and the desktop
// (forms/UpdateSeams.h) in the Windows program: message boxes over the
// active window, the shell, the end of the message loop and a timer.
#pragma once

#include "forms/UpdateSeams.h"

#include <string>

namespace quorvex::win32 {

TUpdateSeams DesktopUpdateSeams();

// The thousands separator of the user's locale, UTF-8.
std::string UserThousandsSeparator();

}  // namespace quorvex::win32
