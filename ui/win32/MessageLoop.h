// The program's message loop, with the dialog keyboard conventions in every
// TWindow (IsDialogMessage): Tab and Shift+Tab through the controls,
// mnemonics, Enter for the default button and Escape for IDCANCEL, which
// closes the window; a multi-line RichEdit, which takes every key, closes it
// on Escape itself (WM_CLOSE).
#pragma once

namespace quorvex::win32 {

// Runs until WM_QUIT and returns its exit code. Throws Error when
// GetMessageW fails.
int RunMessageLoop();

}  // namespace quorvex::win32
