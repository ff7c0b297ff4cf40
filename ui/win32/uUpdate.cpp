#include "ui/win32/uUpdate.h"

#include "forms/ApplicationTitle.h"
#include "platform/win32/Win32Text.h"
#include "resources/windows/ResourceIds.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi.h"

#include <commctrl.h>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{294, 67};
constexpr int kIconSize = 48;
constexpr int kNameHeight = 19;  // the name's characters, in pixels at 96 DPI

constexpr RECT Bounds(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}

}  // namespace

TfrmUpdate::TfrmUpdate()
    : TWindow({L"TfrmUpdate", L"", WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClientSize, L"Trebuchet MS", 12})
{
    icon_ = AddControl(WC_STATICW, IDC_Image1, WS_VISIBLE | SS_ICON | SS_REALSIZECONTROL, Bounds(8, 8, kIconSize, kIconSize));
    name_ = AddControl(WC_STATICW, IDC_Label1, WS_VISIBLE | SS_NOPREFIX, Bounds(70, 8, 216, 26));
    SetWindowTextW(name_, WideText(kApplicationTitle).c_str());
    const HWND checking = AddControl(WC_STATICW, IDC_Label2, WS_VISIBLE | SS_NOPREFIX, Bounds(70, 37, 216, 20));
    SetWindowTextW(checking, L"Checking for updates ...");
    DpiChanged();
}

TfrmUpdate::~TfrmUpdate()
{
    if (nameFont_ != nullptr)
        DeleteObject(nameFont_);
    if (iconImage_ != nullptr)
        DestroyIcon(iconImage_);
}

void TfrmUpdate::DpiChanged()
{
    const HFONT oldFont = nameFont_;
    const HICON oldIcon = iconImage_;
    nameFont_ = CreateFontW(-Scaled(kNameHeight, Dpi()), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            L"Tahoma");
    SendMessageW(name_, WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_), TRUE);
    const int size = Scaled(kIconSize, Dpi());
    iconImage_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUORVEX), IMAGE_ICON, size, size, 0));
    SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(iconImage_), 0);
    if (oldFont != nullptr)
        DeleteObject(oldFont);
    if (oldIcon != nullptr)
        DestroyIcon(oldIcon);
}

// Shown without taking the activation, which stays with the program's windows.
void TfrmUpdate::ShowNow()
{
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace quorvex::win32
