#include "ui/win32/Messages.h"

#include "platform/win32/Win32Text.h"

namespace quorvex::win32 {

void ShowMessage(HWND owner, std::string_view text, std::string_view caption, TMessageIcon icon)
{
    MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(),
                MB_OK | static_cast<UINT>(icon) | (owner == nullptr ? MB_TASKMODAL : 0u));
}

}  // namespace quorvex::win32
