// quorvex.exe, the windowed program on Windows. Its main window is still to
// come; until then it shows the windows that exist standing alone, for the
// window tests: "quorvex.exe --window help" shows the help window, "--window
// edit" the HTML replacement file editor, and runs until its thread is sent
// WM_QUIT; "quorvex.exe --update-check [silent]" runs one update check with
// its windows and ends with it (status 0 when a newer version was announced,
// else 1).
#include "archive/Catalogue.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/Messages.h"
#include "ui/win32/Win32EventPump.h"
#include "ui/win32/uEdit.h"
#include "ui/win32/uHelp.h"
#include "ui/win32/update/UpdateChecker.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

constexpr std::string_view kCaption = "Quorvex";
constexpr std::string_view kUsage =
    "Usage: quorvex.exe --window help|edit\n"
    "       quorvex.exe --update-check [silent]\n\n"
    "The main window of Quorvex for Windows is not built yet; quorvex-cli.exe does the work from the command line.";

int ShowHelpWindowAlone()
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TfrmHelp help(storage);
    help.ShowWindow();
    return RunMessageLoop();
}

int CheckForUpdateAlone(bool silent)
{
    const TWin32EventPump pump;
    return ExecuteUpdateCheck(nullptr, silent) ? 0 : 1;
}

int ShowEditWindowAlone()
{
    TColorDialog cdColor;
    TfrmEdit edit(cdColor);
    edit.ShowWindow();
    return RunMessageLoop();
}

int Run(const std::vector<std::string>& arguments)
{
    if (arguments == std::vector<std::string>{"--window", "help"})
        return ShowHelpWindowAlone();
    if (!arguments.empty() && arguments[0] == "--update-check" && arguments.size() <= 2
        && (arguments.size() == 1 || arguments[1] == "silent"))
        return CheckForUpdateAlone(arguments.size() == 2);
    if (arguments == std::vector<std::string>{"--window", "edit"})
        return ShowEditWindowAlone();
    ShowMessage(nullptr, kUsage, kCaption, TMessageIcon::Warning);
    return 2;
}

}  // namespace
}  // namespace quorvex::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i)
        arguments.push_back(quorvex::Utf16ToUtf8(std::u16string(__wargv[i], __wargv[i] + std::wcslen(__wargv[i]))));
    try {
        return quorvex::win32::Run(arguments);
    } catch (const quorvex::Error& e) {
        quorvex::win32::ShowMessage(nullptr, quorvex::ErrorReportText(e.what()), quorvex::win32::kCaption,
                                    quorvex::win32::TMessageIcon::Error);
    } catch (...) {
        quorvex::win32::ShowMessage(nullptr, std::string(quorvex::kUnknownError), quorvex::win32::kCaption,
                                    quorvex::win32::TMessageIcon::Error);
    }
    return 1;
}
