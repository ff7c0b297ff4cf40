// quorvex.exe, the windowed program on Windows. Started without arguments it
// runs the program: the update splash, the main window (its single-instance
// guard and its creation handler), shown and drawn, then the status, help and
// editor windows, hidden, then the message loop until the main window is
// closed. For the window tests, "quorvex.exe --window help" and "--window
// edit" show the help window or the HTML replacement file editor alone and
// run until their thread is sent WM_QUIT; "--update-check [silent]" runs one
// update check with its windows and ends with it (status 0 when a newer
// version was announced, else 1).
#include "archive/Catalogue.h"
#include "forms/ApplicationTitle.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/Messages.h"
#include "ui/win32/Win32EventPump.h"
#include "ui/win32/uEdit.h"
#include "ui/win32/uHelp.h"
#include "ui/win32/uQuorvex.h"
#include "ui/win32/uUpdate.h"
#include "ui/win32/update/UpdateChecker.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

constexpr std::string_view kUsage =
    "Usage: quorvex.exe [--window help|edit | --update-check [silent]]\n\n"
    "Without arguments Quorvex starts with its main window; --window shows its help window or its HTML replacement "
    "file editor alone, --update-check runs one update check alone.";

int ShowHelpWindowAlone()
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TfrmHelp help(storage);
    help.ShowWindow();
    return RunMessageLoop();
}

int ShowEditWindowAlone()
{
    TColorDialog cdColor;
    TfrmEdit edit(cdColor);
    edit.ShowWindow();
    return RunMessageLoop();
}

int CheckForUpdateAlone(bool silent)
{
    const TWin32EventPump pump;
    return ExecuteUpdateCheck(nullptr, silent) ? 0 : 1;
}

int RunQuorvex()
{
    // Requests keep the windows answering while they wait.
    const TWin32EventPump pump;
    TfrmUpdate splash;
    splash.ShowNow();
    TfrmQuorvex main(splash);
    // Another instance runs and has been brought forward: this one ends here.
    if (main.OneInstance().TerminateRequested())
        return 0;
    // The main window is drawn before its other pages and the hidden windows
    // are made, which takes a while; no event is handled before the message
    // loop runs.
    main.ShowInFront();
    UpdateWindow(main.Handle());
    main.MakeRemainingPages();
    main.StatusWindow();
    main.HelpWindow();
    main.EditWindow();
    return RunMessageLoop();
}

int Run(const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return RunQuorvex();
    if (arguments == std::vector<std::string>{"--window", "help"})
        return ShowHelpWindowAlone();
    if (arguments == std::vector<std::string>{"--window", "edit"})
        return ShowEditWindowAlone();
    if (!arguments.empty() && arguments[0] == "--update-check" && arguments.size() <= 2
        && (arguments.size() == 1 || arguments[1] == "silent"))
        return CheckForUpdateAlone(arguments.size() == 2);
    ShowMessage(nullptr, kUsage, kApplicationTitle, TMessageIcon::Warning);
    return 2;
}

}  // namespace
}  // namespace quorvex::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.push_back(quorvex::Utf16ToUtf8(std::u16string(__wargv[i], __wargv[i] + std::wcslen(__wargv[i]))));
    try {
        return quorvex::win32::Run(arguments);
    } catch (const quorvex::Error& e) {
        quorvex::win32::ShowMessage(nullptr, quorvex::ErrorReportText(e.what()), quorvex::kApplicationTitle,
                                    quorvex::win32::TMessageIcon::Error);
    } catch (...) {
        quorvex::win32::ShowMessage(nullptr, std::string(quorvex::kUnknownError), quorvex::kApplicationTitle,
                                    quorvex::win32::TMessageIcon::Error);
    }
    return 1;
}
