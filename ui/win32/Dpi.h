// Sizes in the windows are given at 96 DPI and scaled to the DPI of the
// monitor a window is on.
#pragma once

#include <windows.h>

namespace quorvex::win32 {

inline constexpr UINT kDesignDpi = 96;

// The design size in pixels at the given DPI, rounded to the nearest pixel.
int Scaled(int designPixels, UINT dpi);

// The window's DPI (GetDpiForWindow where the system has it, Windows 10 1607
// and later; the screen's otherwise).
UINT WindowDpi(HWND window);

// The size of a window whose client area is clientSize (already scaled),
// with its frame drawn at dpi.
SIZE WindowSizeForClient(SIZE clientSize, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace quorvex::win32
