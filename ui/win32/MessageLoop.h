// The program's message loop, with the dialog keyboard conventions in every
// TWindow: Tab and Shift+Tab through the controls, mnemonics, Enter for the
// default button (IsDialogMessage), and Escape closing the window even while
// a control that takes every key (a RichEdit) has the focus.
#pragma once

#include <windows.h>

namespace quorvex::win32 {

// Runs until WM_QUIT and returns its exit code. Throws Error when
// GetMessageW fails.
int RunMessageLoop();

// True when the message was a dialog key of a TWindow and has been handled.
bool HandleDialogKey(MSG& message);

}  // namespace quorvex::win32
