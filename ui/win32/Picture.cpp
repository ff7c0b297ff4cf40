#include "ui/win32/Picture.h"

#include "archive/mxStorage.h"
#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/Dpi.h"

namespace quorvex::win32 {
namespace {

// An icon's own size: that of its colour bitmap.
SIZE IconSize(HICON icon)
{
    ICONINFO info{};
    if (GetIconInfo(icon, &info) == FALSE)
        throw Error("Cannot read an icon: " + Win32ErrorText(GetLastError()));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    const bool maskOnly = info.hbmColor == nullptr;  // the mask holds both halves, one above the other
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, maskOnly ? bitmap.bmHeight / 2 : bitmap.bmHeight};
}

}  // namespace

TPictureBox::TPictureBox(TWindow& host, int id, RECT designBounds, DWORD extraStyle)
    : control_(host.AddControl(L"STATIC", id, WS_VISIBLE | SS_OWNERDRAW | extraStyle, designBounds)), id_(id)
{
    host.AddPart(*this);
}

TPictureBox::~TPictureBox()
{
    if (icon_ != nullptr)
        DestroyIcon(icon_);
}

SIZE TPictureBox::ClientSize() const
{
    RECT client{};
    GetClientRect(control_, &client);
    return {client.right, client.bottom};
}

void TPictureBox::ShowStoredItem(TmxStoredItem& item)
{
    const SIZE size = ClientSize();
    picture_ = FittedPicture(item, {size.cx, size.cy});
    fittedFor_ = size;
    item_ = &item;
    if (icon_ != nullptr)
        DestroyIcon(icon_);
    icon_ = nullptr;
    InvalidateRect(control_, nullptr, TRUE);
}

void TPictureBox::ShowIcon(int resourceId)
{
    const auto icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    if (icon == nullptr)
        throw Error("Cannot load the picture " + std::to_string(resourceId) + ": " + Win32ErrorText(GetLastError()));
    if (icon_ != nullptr)
        DestroyIcon(icon_);
    icon_ = icon;
    iconSize_ = IconSize(icon);
    item_ = nullptr;
    picture_ = {};
    InvalidateRect(control_, nullptr, TRUE);
}

// A size that changed with the DPI gets the stored picture fitted anew; a
// picture that no longer decodes (it did before) keeps the one drawn.
void TPictureBox::DrawPicture(HDC dc)
{
    const SIZE size = ClientSize();
    if (item_ != nullptr && (size.cx != fittedFor_.cx || size.cy != fittedFor_.cy)) {
        try {
            picture_ = FittedPicture(*item_, {size.cx, size.cy});
            fittedFor_ = size;
        } catch (const Error&) {
        }
    }
    if (picture_.Pixels.empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture_.Size.Width;
    info.bmiHeader.biHeight = -picture_.Size.Height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(picture_.Size.Width), static_cast<DWORD>(picture_.Size.Height), 0,
                      0, 0, static_cast<UINT>(picture_.Size.Height), picture_.Pixels.data(), &info, DIB_RGB_COLORS);
}

void TPictureBox::Draw(HDC dc, const RECT& bounds)
{
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_BTNFACE));
    if (icon_ != nullptr) {
        const UINT dpi = WindowDpi(control_);
        DrawIconEx(dc, 0, 0, icon_, Scaled(iconSize_.cx, dpi), Scaled(iconSize_.cy, dpi), 0, nullptr, DI_NORMAL);
        return;
    }
    DrawPicture(dc);
}

bool TPictureBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message != WM_DRAWITEM || wParam != static_cast<WPARAM>(id_))
        return false;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    Draw(item->hDC, item->rcItem);
    result = TRUE;
    return true;
}

void ShowStoredPicture(TPictureBox& control, const TmxStorage& storage, int index)
{
    control.ShowStoredItem(storage.ItemByIndex(index));
}

}  // namespace quorvex::win32
