// Message boxes of the Windows program: a caption always, an icon unless
// the box is a plain message.
#pragma once

#include <windows.h>

#include <string_view>

namespace quorvex::win32 {

enum class TMessageIcon : UINT {
    None = 0,
    Error = MB_ICONERROR,
    Warning = MB_ICONWARNING,
};

// Shows the UTF-8 text with an OK button in a modal message box over owner
// (nullptr: over none, modal to the whole program).
void ShowMessage(HWND owner, std::string_view text, std::string_view caption, TMessageIcon icon);

}  // namespace quorvex::win32
