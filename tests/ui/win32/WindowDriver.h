// Working quorvex.exe's windows from another process on a real display, by
// the ids of their controls, and reading them as a person sees them.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::win32 {

// The quorvex.exe under test, the display's DPI and a synthetic messenger's
// folder (empty when none was given), from the command line.
extern std::wstring gQuorvex;
extern std::wstring gMessengerFolder;
extern UINT gDpi;

// A length given at 96 DPI, at the display's DPI.
int Scaled(int designPixels);

// Waits up to ten seconds for the condition.
template <typename Condition>
bool WaitFor(Condition condition)
{
    for (int waited = 0; waited < 10000; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

// quorvex.exe (or another program of its windows) started with the
// arguments (in workingFolder, if given: else in this program's); ended
// through WM_QUIT if it still runs.
class TQuorvexProcess {
public:
    explicit TQuorvexProcess(const std::wstring& arguments, const std::wstring& workingFolder = {},
                             const std::wstring& program = gQuorvex)
    {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process_)
            != FALSE;
    }
    ~TQuorvexProcess()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            PostThreadMessageW(process_.dwThreadId, WM_QUIT, 0, 0);
            if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 99);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    bool Started() const { return started_; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The process's visible top-level window of that title (and class, if
    // given), once its thread answers messages (a window may be shown
    // before the program has finished making its other controls and
    // windows), or nullptr after ten seconds.
    HWND WaitForWindow(const wchar_t* title, const wchar_t* className = nullptr) const
    {
        HWND found = nullptr;
        WaitFor([&] {
            found = FindWindowW(className, title);
            DWORD owner = 0;
            if (found != nullptr)
                GetWindowThreadProcessId(found, &owner);
            return found != nullptr && owner == process_.dwProcessId && IsWindowVisible(found);
        });
        if (found == nullptr || !IsWindowVisible(found))
            return nullptr;
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0 ? found : nullptr;
    }

    // Ends the process as its message loop ends; its exit code.
    DWORD Quit()
    {
        PostThreadMessageW(process_.dwThreadId, WM_QUIT, 0, 0);
        return ExitCode();
    }

    // The exit code once the process has ended, within ten seconds.
    DWORD ExitCode() const
    {
        DWORD code = 99;
        if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// A Linux path named by an environment variable, as Wine shows it (drive
// Z:); empty when the variable is not set.
std::filesystem::path FromEnvironment(const char* name);
// A file's bytes (none when it cannot be read); a file written with bytes.
std::string Bytes(const std::filesystem::path& path);
void Write(const std::filesystem::path& path, const std::string& bytes);
// A folder of a test's own on the update site that nginx serves on
// 127.0.0.1 (fixture update_peers_windows, its state in peers), made under
// the site's root with a random name beginning with prefix. Its Folder is
// empty when the site does not run.
struct TSiteFolder {
    std::filesystem::path Folder;  // where its files go
    std::string Host;              // the site's address, ending in "/"
    std::string Address;           // the folder's address, ending in "/"
};
TSiteFolder MakeSiteFolder(const std::filesystem::path& peers, const std::string& prefix);
// ASCII text as UTF-16.
std::wstring Wide(const std::string& text);
// The folder named by an environment variable (LOCALAPPDATA, WINDIR).
std::filesystem::path KnownFolder(const wchar_t* variable);
// Every file named name + anything in the folders a download may go to.
std::vector<std::filesystem::path> DownloadsNamed(const std::string& name);
// The window's control of that id, and a click on it as its owner hears it.
HWND Control(HWND window, int id);
void Click(HWND window, int id);

// The window's class name in capitals: class names compare without regard to case.
std::wstring ClassOf(HWND window);
// A control's text through WM_GETTEXT, which the system carries across
// processes (GetWindowText does not ask another process's controls).
std::string TextOf(HWND control);
// The rectangle's bounds in the window's client coordinates.
RECT InClient(HWND window, RECT screen);
bool Same(const RECT& a, const RECT& b);
// The screen's pixels inside the rectangle (screen coordinates), top row first.
std::vector<COLORREF> ScreenPixels(const RECT& area);
// Memory in the process of a window, for the messages whose argument points
// to a structure (the system carries no such message across processes).
class TRemoteMemory {
public:
    TRemoteMemory(HWND window, std::size_t size);
    ~TRemoteMemory();
    TRemoteMemory(const TRemoteMemory&) = delete;
    TRemoteMemory& operator=(const TRemoteMemory&) = delete;

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    void Write(const void* data, std::size_t size, std::size_t offset = 0);
    void Read(void* data, std::size_t size, std::size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// A list view's rows: a cell's text, a row's check box, the bounds of a
// row's caption (screen coordinates).
std::string ListText(HWND list, int row, int column = 0);
bool ListChecked(HWND list, int row);
// Sets the check box as a click on it would, the list's owner told of it.
void SetListChecked(HWND list, int row, bool checked);
RECT ListCaptionBounds(HWND list, int row);
// The captions of a tab control's tabs.
std::vector<std::string> TabCaptions(HWND tabs);

// The message box's icon control: a static control showing an icon (its id
// differs between Windows and Wine).
HWND IconOf(HWND box);
// The message box's text: its static control with the text (id 0xFFFF).
std::string MessageTextOf(HWND box);
// The visible dialog that the window owns (the colour dialog, a message
// box), or nullptr after ten seconds.
HWND WaitForOwnedDialog(HWND owner);

// The colour dialog's button that opens its custom colour part, and that
// part's edit fields of the colour's parts (colordlg.h).
inline constexpr int kDefineCustomColors = 719;
inline constexpr int kRedEdit = 706;
inline constexpr int kGreenEdit = 707;
inline constexpr int kBlueEdit = 708;

}  // namespace quorvex::win32
