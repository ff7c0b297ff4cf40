// Starts a shell link (.lnk) the way the shell does when the user opens it:
// ShellExecuteExW on the link file with its default verb, so the link's own
// target, working folder and show command apply. The installer test starts
// the Start-menu shortcut with it.
#include "platform/Console.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        quorvex::StandardError() << "usage: shortcut-start FILE.lnk\n";
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
        return 3;
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    start.lpFile = argv[1];
    start.nShow = SW_SHOWNORMAL;
    const bool started = ::ShellExecuteExW(&start);
    const DWORD error = started ? 0 : ::GetLastError();
    ::CoUninitialize();
    if (!started) {
        quorvex::StandardError() << "shortcut-start: the shell did not start the link (error " << error << ")\n";
        return 1;
    }
    return 0;
}
