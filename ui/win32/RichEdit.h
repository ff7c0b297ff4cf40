// The RichEdit control of the Windows windows' HTML views (the help window,
// the editor's preview), which show their pages converted to RTF.
#pragma once

#include <windows.h>

#include <string_view>

namespace quorvex::win32 {

// Loads Msftedit.dll, which holds the RichEdit class (MSFTEDIT_CLASS), once
// for the program's life. Throws Error with the system's reason.
void LoadRichEdit();

// Replaces the RichEdit's document with the RTF and puts the caret at its
// start. Throws Error when the control refuses it.
void StreamRtfInto(HWND richEdit, std::string_view rtf);

}  // namespace quorvex::win32
