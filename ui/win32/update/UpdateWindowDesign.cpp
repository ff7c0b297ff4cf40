#include "ui/win32/update/UpdateWindowDesign.h"

#include "platform/win32/Win32Text.h"

namespace quorvex::win32 {

TWindowDesign UpdateWindowDesign(const wchar_t* className, const wchar_t* caption, SIZE clientSize)
{
    return TWindowDesign{className,     caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                         WS_EX_DLGMODALFRAME, clientSize, L"Tahoma", 12};
}

bool ColorUpdateText(UINT message, WPARAM wParam, LRESULT& result)
{
    if (message != WM_CTLCOLORSTATIC)
        return false;
    const HDC context = reinterpret_cast<HDC>(wParam);
    SetTextColor(context, GetSysColor(COLOR_INFOTEXT));
    SetBkColor(context, GetSysColor(COLOR_BTNFACE));
    result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void SetOwner(HWND window, HWND owner)
{
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

void SetControlText(HWND window, int id, const std::string& text)
{
    SetDlgItemTextW(window, id, WideText(text).c_str());
}

}  // namespace quorvex::win32
