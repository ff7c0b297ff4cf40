// The program's message loop, with the dialog keyboard conventions in every
// TWindow (IsDialogMessage): Tab and Shift+Tab through the controls,
// mnemonics, Enter for the default button and Escape for IDCANCEL, which
// closes the window; a multi-line RichEdit, which takes every key, closes it
// on Escape itself (WM_CLOSE).
#pragma once

#include <windows.h>

#include <functional>

namespace quorvex::win32 {

// Sent to a TWindow for each key pressed in it (wParam and lParam as in its
// WM_KEYDOWN) before the dialog keys are looked at: a window that answers
// nonzero has taken the key, such as a shortcut that works wherever the
// focus is.
inline constexpr UINT kWindowKeyMessage = WM_APP + 0x100;

// Hands one message to its window, with the dialog keys above.
void DispatchWithDialogKeys(MSG& message);

// Runs the loop until done says so after a message, or until WM_QUIT, which
// it leaves in the queue for the outer loop: a modal window's loop.
// Throws Error when GetMessageW fails.
void RunModalLoop(const std::function<bool()>& done);

// Runs until WM_QUIT and returns its exit code. Throws Error when
// GetMessageW fails.
int RunMessageLoop();

}  // namespace quorvex::win32
