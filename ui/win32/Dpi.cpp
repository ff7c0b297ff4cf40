#include "ui/win32/Dpi.h"

namespace quorvex::win32 {
namespace {

// A USER32 function of newer systems, or nullptr: looked up at run time so
// that the program still starts on Windows 7 and 8.
template <typename Function>
Function NewerUser32Function(const char* name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

}  // namespace

int Scaled(int designPixels, UINT dpi)
{
    return MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

UINT WindowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = NewerUser32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

SIZE WindowSizeForClient(SIZE clientSize, DWORD style, DWORD exStyle, UINT dpi)
{
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = NewerUser32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT bounds{0, 0, clientSize.cx, clientSize.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&bounds, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&bounds, style, FALSE, exStyle);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace quorvex::win32
