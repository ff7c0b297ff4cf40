#include "ui/win32/update/UpdateChecker.h"

#include "forms/UpdateCheckFlow.h"
#include "platform/win32/Win32Text.h"
#include "update/UpdateVersion.h"
#include "ui/win32/update/Win32UpdateSeams.h"
#include "ui/win32/update/uUpdateNotify.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

// The running process's update section, fixed at the first check.
const std::string& UpdateSection()
{
    static const std::string section = [] {
        std::wstring path(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (length < path.size()) {
                path.resize(length);
                break;
            }
            path.resize(path.size() * 2);
        }
        // The C runtime's arguments of the program (a wide one, as
        // quorvex.exe is): splitting the command line anew would load the
        // shell at every start.
        std::vector<std::string> arguments;
        for (int index = 0; __wargv != nullptr && index < __argc; ++index)
            arguments.push_back(NarrowText(__wargv[index]));
        return UpdateSectionName(NarrowText(std::filesystem::path(path).filename().wstring()), arguments);
    }();
    return section;
}

}  // namespace

bool ExecuteUpdateCheck(HWND owner, bool NoMessageDlg, const TUpdateSettings& settings, TUpdateSeams& seams)
{
    return ExecuteUpdateCheckFlow(settings, UpdateSection(), NoMessageDlg, seams,
                                  [&](const TUpdateCheckResult& result) {
                                      TVelkAppUpdateNotifyBox box(seams, owner);
                                      box.Flow().Fill(result, settings);
                                      box.ShowModal();
                                      box.Flow().RaiseDownloadError();
                                  });
}

bool ExecuteUpdateCheck(HWND owner, bool NoMessageDlg)
{
    static TUpdateSeams seams = DesktopUpdateSeams();
    return ExecuteUpdateCheck(owner, NoMessageDlg, ProgramUpdateSettings(), seams);
}

}  // namespace quorvex::win32
