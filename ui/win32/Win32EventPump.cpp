#include "ui/win32/Win32EventPump.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/WindowClass.h"

namespace quorvex::win32 {
namespace {

constexpr wchar_t kClassName[] = L"QuorvexEventPump";
constexpr UINT kPosted = WM_APP + 1;
constexpr UINT_PTR kServeTimer = 1;
constexpr UINT kServeIntervalMs = 5;
// A serving ends after this many messages even when more keep coming.
constexpr int kMessagesPerServe = 256;

void RegisterPumpClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassOnce(windowClass);
}

}  // namespace

TWin32EventPump::TWin32EventPump()
{
    RegisterPumpClass(&TWin32EventPump::Procedure);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (window_ == nullptr)
        throw Error("Cannot create the event pump's window: " + Win32ErrorText(GetLastError()));
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previous_ = SetEventPump(this);
}

TWin32EventPump::~TWin32EventPump()
{
    SetEventPump(previous_);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool TWin32EventPump::ServeOnce()
{
    if (quitting_)
        return false;
    MSG message{};
    for (int served = 0; served < kMessagesPerServe && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++served) {
        if (message.message == WM_QUIT) {
            quitting_ = true;
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchWithDialogKeys(message);
    }
    return true;
}

void TWin32EventPump::Post(std::function<void()> action)
{
    posted_.push_back(std::move(action));
    PostMessageW(window_, kPosted, 0, 0);
}

void TWin32EventPump::StartServing(std::function<void()> serve)
{
    serve_ = std::move(serve);
    SetTimer(window_, kServeTimer, kServeIntervalMs, nullptr);
}

void TWin32EventPump::StopServing()
{
    KillTimer(window_, kServeTimer);
    serve_ = nullptr;
}

void TWin32EventPump::RunPosted()
{
    if (posted_.empty())
        return;
    const std::function<void()> action = std::move(posted_.front());
    posted_.pop_front();
    action();
}

LRESULT CALLBACK TWin32EventPump::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pump = reinterpret_cast<TWin32EventPump*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (pump != nullptr && message == kPosted) {
        pump->RunPosted();
        return 0;
    }
    if (pump != nullptr && message == WM_TIMER && wParam == kServeTimer) {
        if (pump->serve_) {
            const std::function<void()> serve = pump->serve_;
            serve();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quorvex::win32
