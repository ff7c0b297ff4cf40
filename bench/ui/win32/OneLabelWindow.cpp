// The floor of quorvex.exe's start-up time: a window of the main window's
// client size showing one line of text in a STATIC label, nothing more. It
// carries quorvex.exe's manifest (common controls 6, per-monitor DPI
// awareness), so both pay the same activation context, and draws its text in
// the main window's font, so both pay the font set-up.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"OneLabelWindow";
constexpr int kClientWidth = 521;  // quorvex.exe's main window at 96 DPI
constexpr int kClientHeight = 481;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int Scaled(int pixels, UINT dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0)
        return 1;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const UINT dpi = GetDpiForSystem();
    RECT bounds{0, 0, Scaled(kClientWidth, dpi), Scaled(kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&bounds, style, FALSE, 0, dpi);
    const HWND window = CreateWindowExW(0, kClassName, L"One Label", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                        bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr,
                                        instance, nullptr);
    if (window == nullptr)
        return 1;
    const HWND label = CreateWindowExW(0, L"STATIC", L"Remove Main Messenger Advert", WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                                       Scaled(12, dpi), Scaled(12, dpi), Scaled(300, dpi), Scaled(20, dpi), window,
                                       nullptr, instance, nullptr);
    const HFONT font = CreateFontW(-Scaled(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return static_cast<int>(message.wParam);
}
