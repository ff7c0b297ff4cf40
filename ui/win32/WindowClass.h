// The window classes of the program's own windows and controls.
#pragma once

#include <windows.h>

namespace quorvex::win32 {

// Registers the class unless its name was registered before. Throws Error
// with the system's reason.
void RegisterClassOnce(const WNDCLASSEXW& windowClass);

}  // namespace quorvex::win32
