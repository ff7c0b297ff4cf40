#include "ui/win32/update/UpdateChecker.h"

#include "forms/UpdateCheckFlow.h"
#include "platform/win32/Win32Text.h"
#include "update/UpdateVersion.h"
#include "ui/win32/update/Win32UpdateSeams.h"
#include "ui/win32/update/uUpdateNotify.h"

#include <shellapi.h>

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
        std::vector<std::string> arguments;
        int count = 0;
        if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count); argv != nullptr) {
            for (int index = 0; index < count; ++index)
                arguments.push_back(NarrowText(argv[index]));
            LocalFree(argv);
        }
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
