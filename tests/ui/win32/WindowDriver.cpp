#include "tests/ui/win32/WindowDriver.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

namespace quorvex::win32 {

std::wstring gQuorvex;
UINT gDpi = 96;

int Scaled(int designPixels)
{
    return MulDiv(designPixels, static_cast<int>(gDpi), 96);
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    CharUpperW(name);
    return name;
}

std::string TextOf(HWND control)
{
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const auto got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return Utf16ToUtf8(text);
}

RECT InClient(HWND window, RECT screen)
{
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bgra(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (const DWORD p : bgra)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

HWND IconOf(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if (ClassOf(child) == L"STATIC" && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

std::string MessageTextOf(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

}  // namespace quorvex::win32

// win32_window_tests.exe <path of quorvex.exe> [DPI of the display, default 96]
int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: win32_window_tests <quorvex.exe> [DPI]\n");
        return 2;
    }
    quorvex::win32::gQuorvex = argv[1];
    if (argc == 3)
        quorvex::win32::gDpi = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
    // Sizes read from quorvex.exe's windows in real pixels, not scaled for this program.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    return RUN_ALL_TESTS();
}
