// Prints what a shell link (.lnk) holds, one "name: value" line each, in
// UTF-8: its target, working folder and icon. The installer test reads the
// Start-menu shortcut with it.
#include "platform/Console.h"
#include "platform/Text.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

namespace {

std::string Narrow(const wchar_t* text)
{
    return quorvex::Utf16ToUtf8(std::u16string(text, text + std::wcslen(text)));
}

int Print(const wchar_t* file)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return 3;
    IPersistFile* persist = nullptr;
    int status = 3;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (SUCCEEDED(persist->Load(file, STGM_READ))) {
            wchar_t target[MAX_PATH * 4] = {};
            wchar_t folder[MAX_PATH * 4] = {};
            wchar_t icon[MAX_PATH * 4] = {};
            int iconIndex = 0;
            link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(folder, MAX_PATH * 4);
            link->GetIconLocation(icon, MAX_PATH * 4, &iconIndex);
            quorvex::StandardOutput() << "target: " << Narrow(target) << "\nworking folder: " << Narrow(folder)
                                      << "\nicon: " << Narrow(icon) << ',' << iconIndex << '\n';
            status = 0;
        }
        persist->Release();
    }
    link->Release();
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        quorvex::StandardError() << "usage: shortcut-info FILE.lnk\n";
        return 2;
    }
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 3;
    const int status = Print(argv[1]);
    ::CoUninitialize();
    return status;
}
