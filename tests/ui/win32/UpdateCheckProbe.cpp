// The update check of quorvex.exe with its windows, against a test site and
// the test's publisher key, which quorvex.exe itself never takes from
// outside: update_check_probe.exe INFORMATION_FILE_URL PUBLIC_KEY [silent].
// It reads the update section [update_check_probe] and ends with status 0
// when a newer version was announced, 1 when not, 3 on an error (shown).
#include "platform/Text.h"
#include "ui/win32/Messages.h"
#include "ui/win32/Win32EventPump.h"
#include "ui/win32/update/UpdateChecker.h"
#include "ui/win32/update/Win32UpdateSeams.h"
#include "update/UpdateSettings.h"

#include <windows.h>

#include <cwchar>
#include <exception>
#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(quorvex::Utf16ToUtf8(std::u16string(argv[i], argv[i] + std::wcslen(argv[i]))));
    if (arguments.size() < 2 || arguments.size() > 3 || (arguments.size() == 3 && arguments[2] != "silent"))
        return 2;
    try {
        const quorvex::win32::TWin32EventPump pump;
        quorvex::TUpdateSettings settings = quorvex::ProgramUpdateSettings();
        settings.UpdateFileURL = arguments[0];
        settings.UpdatePublicKey = arguments[1];
        quorvex::TUpdateSeams seams = quorvex::win32::DesktopUpdateSeams();
        return quorvex::win32::ExecuteUpdateCheck(nullptr, arguments.size() == 3, settings, seams) ? 0 : 1;
    } catch (const std::exception& error) {
        quorvex::win32::ShowMessage(nullptr, error.what(), "update_check_probe", quorvex::win32::TMessageIcon::Error);
        return 3;
    }
}
