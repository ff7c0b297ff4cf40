#include "ui/win32/FolderPicker.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"

#include <shobjidl.h>

#include <array>

namespace quorvex::win32 {
namespace {

// Releases a COM interface when it goes.
template <typename Interface>
class TComPointer {
public:
    TComPointer() = default;
    ~TComPointer()
    {
        if (pointer_ != nullptr)
            pointer_->Release();
    }
    TComPointer(const TComPointer&) = delete;
    TComPointer& operator=(const TComPointer&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    Interface** Put() { return &pointer_; }
    void** PutVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

void Check(HRESULT result, const char* what)
{
    if (FAILED(result))
        throw Error(std::string("The folder picker cannot be shown: ") + what + ": "
                    + Win32ErrorText(static_cast<unsigned long>(result)));
}

// COM on this thread, which the picker is made of: started at the first
// pick, ended with the program.
void EnterComApartment()
{
    class TComApartment {
    public:
        TComApartment()
        {
            Check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), "CoInitializeEx");
        }
        ~TComApartment() { CoUninitialize(); }
        TComApartment(const TComApartment&) = delete;
        TComApartment& operator=(const TComApartment&) = delete;
    };
    static const TComApartment apartment;
}

// The root folder of the current drive, as "\" names it.
std::wstring RootFolder()
{
    std::array<wchar_t, MAX_PATH> root{};
    const DWORD length = GetFullPathNameW(L"\\", static_cast<DWORD>(root.size()), root.data(), nullptr);
    return length > 0 && length < root.size() ? std::wstring(root.data(), length) : std::wstring(L"C:\\");
}

// The shell item of an existing folder, or nothing.
bool OpenFolderItem(const std::wstring& folder, TComPointer<IShellItem>& item)
{
    if (folder.empty() || FAILED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, item.PutVoid())))
        return false;
    SFGAOF attributes = 0;
    return SUCCEEDED(item->GetAttributes(SFGAO_FOLDER, &attributes)) && (attributes & SFGAO_FOLDER) != 0;
}

}  // namespace

std::optional<std::string> PickFolder(HWND owner, const std::string& prompt, const std::string& startFolder)
{
    EnterComApartment();
    TComPointer<IFileOpenDialog> dialog;
    Check(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog, dialog.PutVoid()),
          "CoCreateInstance");
    FILEOPENDIALOGOPTIONS options = 0;
    Check(dialog->GetOptions(&options), "GetOptions");
    Check(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM), "SetOptions");
    Check(dialog->SetTitle(WideText(prompt).c_str()), "SetTitle");
    TComPointer<IShellItem> start;
    if (!OpenFolderItem(WideText(startFolder), start)) {
        TComPointer<IShellItem> root;
        if (OpenFolderItem(RootFolder(), root))
            Check(dialog->SetFolder(root.Get()), "SetFolder");
    } else {
        Check(dialog->SetFolder(start.Get()), "SetFolder");
    }
    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED))
        return std::nullopt;
    Check(shown, "Show");
    TComPointer<IShellItem> chosen;
    Check(dialog->GetResult(chosen.Put()), "GetResult");
    PWSTR path = nullptr;
    Check(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path), "GetDisplayName");
    const std::string folder = NarrowText(path);
    CoTaskMemFree(path);
    return folder;
}

}  // namespace quorvex::win32
