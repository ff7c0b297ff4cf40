#include "ui/win32/update/Win32UpdateSeams.h"

#include "platform/Error.h"
#include "platform/ProgramStart.h"
#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <map>

namespace quorvex::win32 {
namespace {

UINT IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::Plain: return 0;
    case TMsgDlgType::Information: return MB_ICONINFORMATION;
    case TMsgDlgType::Confirmation: return MB_ICONQUESTION;
    case TMsgDlgType::Warning: return MB_ICONWARNING;
    case TMsgDlgType::Error: return MB_ICONERROR;
    }
    return 0;
}

UINT ButtonsOf(TMsgDlgButtons buttons)
{
    switch (buttons) {
    case TMsgDlgButtons::Ok: return MB_OK;
    case TMsgDlgButtons::OkCancel: return MB_OKCANCEL;
    case TMsgDlgButtons::YesNo: return MB_YESNO;
    case TMsgDlgButtons::YesNoCancel: return MB_YESNOCANCEL;
    }
    return MB_OK;
}

TModalResult ResultOf(int button)
{
    switch (button) {
    case IDYES: return TModalResult::Yes;
    case IDNO: return TModalResult::No;
    case IDCANCEL: return TModalResult::Cancel;
    default: return TModalResult::Ok;
    }
}

class TWin32MessageBoxes final : public IMessageBoxes {
public:
    TModalResult Show(const std::string& caption, const std::string& text, TMsgDlgType type,
                      TMsgDlgButtons buttons) override
    {
        const HWND owner = GetActiveWindow();
        const UINT style = IconOf(type) | ButtonsOf(buttons) | (owner == nullptr ? MB_TASKMODAL : 0u);
        return ResultOf(MessageBoxW(owner, WideText(text).c_str(), WideText(caption).c_str(), style));
    }
};

bool IsProgram(const std::string& target)
{
    return target.size() > 4 && _stricmp(target.c_str() + target.size() - 4, ".exe") == 0;
}

// A program (the installer) starts through the platform, which reports why
// it did not; anything else (a URL) goes to the shell as it is.
class TWin32Shell final : public IShell {
public:
    using IShell::Open;

    void Open(const std::string& verb, const std::string& target, int showCommand, TFailure onFailure) override
    {
        if (IsProgram(target)) {
            StartProgram(target, {}, std::move(onFailure));
            return;
        }
        const std::wstring wideVerb = WideText(verb);
        const std::wstring wideTarget = WideText(target);
        SHELLEXECUTEINFOW execute{};
        execute.cbSize = sizeof execute;
        execute.fMask = SEE_MASK_FLAG_NO_UI;
        execute.lpVerb = wideVerb.c_str();
        execute.lpFile = wideTarget.c_str();
        execute.nShow = showCommand;
        if (!ShellExecuteExW(&execute) && onFailure)
            onFailure(Win32ErrorText(GetLastError()));
    }
};

class TWin32ApplicationControl final : public IApplicationControl {
public:
    void Terminate() override
    {
        requested_ = true;
        PostQuitMessage(0);
    }
    bool TerminateRequested() const override { return requested_; }

private:
    bool requested_ = false;
};

// A thread timer (SetTimer without a window): its callback finds the
// running deadline by the timer's id.
class TWin32DeadlineTimer final : public IDeadlineTimer {
public:
    ~TWin32DeadlineTimer() override { Stop(); }

    void Start(std::chrono::milliseconds time, std::function<void()> expired) override
    {
        Stop();
        expired_ = std::move(expired);
        id_ = SetTimer(nullptr, 0, static_cast<UINT>(time.count()), &TWin32DeadlineTimer::Expired);
        if (id_ == 0)
            throw Error("Cannot start the update check's timer: " + Win32ErrorText(GetLastError()));
        Running()[id_] = this;
    }

    void Stop() override
    {
        if (id_ == 0)
            return;
        KillTimer(nullptr, id_);
        Running().erase(id_);
        id_ = 0;
    }

private:
    static std::map<UINT_PTR, TWin32DeadlineTimer*>& Running()
    {
        static std::map<UINT_PTR, TWin32DeadlineTimer*> running;
        return running;
    }

    static void CALLBACK Expired(HWND, UINT, UINT_PTR id, DWORD)
    {
        const auto found = Running().find(id);
        if (found == Running().end())
            return;
        TWin32DeadlineTimer& timer = *found->second;
        const std::function<void()> expired = timer.expired_;
        timer.Stop();
        if (expired)
            expired();
    }

    UINT_PTR id_ = 0;
    std::function<void()> expired_;
};

}  // namespace

TUpdateSeams DesktopUpdateSeams()
{
    return TUpdateSeams{std::make_shared<TWin32MessageBoxes>(), std::make_shared<TWin32Shell>(),
                        std::make_shared<TWin32ApplicationControl>(), std::make_shared<TWin32DeadlineTimer>()};
}

std::string UserThousandsSeparator()
{
    wchar_t separator[8]{};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) == 0)
        return ",";
    return NarrowText(separator);
}

}  // namespace quorvex::win32
