#include "ui/win32/Window.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "resources/windows/ResourceIds.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WindowClass.h"

#include <algorithm>

namespace quorvex::win32 {
namespace {

constexpr wchar_t kWindowProperty[] = L"Quorvex.Window";

Error SystemError(const std::string& what)
{
    return Error(what + ": " + Win32ErrorText(GetLastError()));
}

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUORVEX));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUORVEX), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    RegisterClassOnce(windowClass);
}

}  // namespace

TWindow::TWindow(const TWindowDesign& design) : design_(design)
{
    RegisterWindowClass(design.className, &TWindow::Procedure);
    handle_ = CreateWindowExW(design.exStyle, design.className, design.caption.c_str(), design.style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (handle_ == nullptr)
        throw SystemError("Cannot create the window \"" + NarrowText(design.caption) + "\"");
    SetPropW(handle_, kWindowProperty, this);
    ApplyDpi(WindowDpi(handle_));

    // Centred on the work area of the monitor the window was made on.
    RECT bounds{};
    GetWindowRect(handle_, &bounds);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(handle_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(handle_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindow::~TWindow()
{
    RemovePropW(handle_, kWindowProperty);
    DestroyWindow(handle_);
    if (font_ != nullptr)
        DeleteObject(font_);
}

TWindow* TWindow::Of(HWND window)
{
    return static_cast<TWindow*>(GetPropW(window, kWindowProperty));
}

void TWindow::ShowInFront()
{
    ShowWindow(handle_, IsIconic(handle_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(handle_);
}

void TWindow::Hide()
{
    ShowWindow(handle_, SW_HIDE);
}

void TWindow::Close()
{
    Hide();
}

HWND TWindow::AddControl(const wchar_t* className, int id, DWORD style, RECT designBounds)
{
    // Made where it belongs: each move of a window is a round trip to Wine's server.
    const RECT bounds = ScaledBounds(designBounds);
    const HWND control = CreateWindowExW(0, className, L"", WS_CHILD | style, bounds.left, bounds.top,
                                         bounds.right - bounds.left, bounds.bottom - bounds.top, handle_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                         nullptr);
    if (control == nullptr)
        throw SystemError("Cannot create the control " + std::to_string(id) + " (" + NarrowText(className) + ")");
    controls_.push_back({control, designBounds});
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
}

void TWindow::ApplyDpi(UINT dpi)
{
    dpi_ = dpi;
    const SIZE client{Scaled(design_.clientSize.cx, dpi), Scaled(design_.clientSize.cy, dpi)};
    const SIZE outer = WindowSizeForClient(client, design_.style, design_.exStyle, dpi);
    SetWindowPos(handle_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const HFONT old = font_;
    font_ = CreateFontW(-Scaled(design_.fontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                        design_.fontFace);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const TControl& control : controls_) {
        PlaceControl(control);
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    if (old != nullptr)
        DeleteObject(old);
}

RECT TWindow::ScaledBounds(const RECT& design) const
{
    const int left = Scaled(design.left, dpi_);
    const int top = Scaled(design.top, dpi_);
    return {left, top, left + Scaled(design.right - design.left, dpi_), top + Scaled(design.bottom - design.top, dpi_)};
}

void TWindow::PlaceControl(const TControl& control) const
{
    const RECT bounds = ScaledBounds(control.designBounds);
    MoveWindow(control.handle, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void TWindow::FocusControl()
{
    if (focus_ == nullptr || !IsWindow(focus_)) {
        const auto first = std::find_if(controls_.begin(), controls_.end(), [](const TControl& c) {
            return (GetWindowLongPtrW(c.handle, GWL_STYLE) & WS_TABSTOP) != 0;
        });
        focus_ = first == controls_.end() ? nullptr : first->handle;
    }
    if (focus_ != nullptr)
        SetFocus(focus_);
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            Close();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = GetFocus();
            if (focused != nullptr && IsChild(handle_, focused))
                focus_ = focused;
        } else {
            FocusControl();
        }
        return 0;
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(handle_, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyDpi(HIWORD(wParam));
        DpiChanged();
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Messages sent while CreateWindowExW runs come before the property is set.
    TWindow* owner = Of(window);
    if (owner == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    for (IWindowPart* part : owner->parts_) {
        if (part->HandleMessage(message, wParam, lParam, result))
            return result;
    }
    return owner->HandleMessage(message, wParam, lParam);
}

}  // namespace quorvex::win32
