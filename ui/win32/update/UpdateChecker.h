// The update check of the Windows program with its windows: the
// notification window when a newer version is announced, the download
// window from its Download button, and the messages when there is none.
// The program's event pump (ui/win32/Win32EventPump.h) must be installed.
#pragma once

#include "forms/UpdateSeams.h"
#include "update/UpdateSettings.h"

#include <windows.h>

namespace quorvex::win32 {

// Runs one check with its windows, owned by owner, with the program's
// settings (ProgramUpdateSettings); true when a newer version was
// announced. NoMessageDlg: the silent start-up check, which says nothing
// when there is no newer version and ends within kSilentCheckTime. Errors
// other than the HTTP client's (a temporary file or download target that
// cannot be made or written) leave here once the windows are closed.
bool ExecuteUpdateCheck(HWND owner, bool NoMessageDlg);

// The same with the settings and seams given.
bool ExecuteUpdateCheck(HWND owner, bool NoMessageDlg, const TUpdateSettings& settings, TUpdateSeams& seams);

}  // namespace quorvex::win32
