#include "ui/win32/ShellOpen.h"

#include "platform/win32/Win32Text.h"

#include <shellapi.h>

namespace quorvex::win32 {

void ShellOpen(HWND owner, const std::string& target, int showCommand,
               const std::function<void(const std::string& message)>& onFailure)
{
    const std::wstring file = WideText(target);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"Open";
    info.lpFile = file.c_str();
    info.nShow = showCommand;
    if (!ShellExecuteExW(&info) && onFailure)
        onFailure("Cannot open \"" + target + "\". " + Win32ErrorText(GetLastError()));
}

}  // namespace quorvex::win32
