#include "platform/win32/Win32MessengerProbe.h"

#include <windows.h>

namespace quorvex {

bool TWin32MessengerProbe::MessengerRunning() const
{
    return ::FindWindowW(kMessengerWindowClass, nullptr) != nullptr;
}

}  // namespace quorvex
