#include "ui/win32/update/uUpdateNotify.h"

#include "platform/win32/Win32Text.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/update/UpdateWindowDesign.h"
#include "ui/win32/update/uUpdateDownload.h"

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{478, 313};

struct TButton {
    int id;
    RECT bounds;
    const char* text;
    DWORD style;
};

constexpr TButton kButtons[] = {
    {IDC_DownloadButton, {162, 278, 162 + 88, 278 + 25}, "Download", BS_PUSHBUTTON},
    {IDC_OpenWebPageButton, {257, 278, 257 + 131, 278 + 25}, "Open Web Page", BS_PUSHBUTTON},
    {IDC_OKButton, {395, 278, 395 + 74, 278 + 25}, "OK", BS_DEFPUSHBUTTON},
};

}  // namespace

TVelkAppUpdateNotifyBox::TVelkAppUpdateNotifyBox(TUpdateSeams& seams, HWND owner)
    : TWindow(UpdateWindowDesign(L"TVelkAppUpdateNotifyBox", L"New Version Available", kClientSize)),
      seams_(seams),
      owner_(owner),
      flow_(*this, seams)
{
    SetOwner(Handle(), owner);
    // Read-only, no word wrap: long lines scroll sideways with the caret.
    const HWND memo = AddControl(L"EDIT", IDC_ReadmeMemo,
                                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL
                                     | ES_AUTOHSCROLL,
                                 {8, 8, 8 + 461, 8 + 257});
    SetWindowLongPtrW(memo, GWL_EXSTYLE, GetWindowLongPtrW(memo, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(memo, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);  // the largest a readme may be
    for (const TButton& button : kButtons) {
        AddControl(L"BUTTON", button.id, WS_VISIBLE | WS_TABSTOP | button.style, button.bounds);
        SetControlText(Handle(), button.id, button.text);
    }
    SetReadmeLines({""});
}

void TVelkAppUpdateNotifyBox::ShowModal()
{
    closed_ = false;
    if (owner_ != nullptr)
        EnableWindow(owner_, FALSE);
    ShowInFront();
    RunModalLoop([this] { return closed_; });
    // The owner takes input again before this window goes, so that it is the one activated.
    if (owner_ != nullptr)
        EnableWindow(owner_, TRUE);
    Hide();
}

void TVelkAppUpdateNotifyBox::Close()
{
    CloseWindow();
}

LRESULT TVelkAppUpdateNotifyBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ColorUpdateText(message, wParam, result))
        return result;
    if (message == DM_GETDEFID)
        return MAKELRESULT(IDC_OKButton, DC_HASDEFID);
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_DownloadButton: flow_.DownloadClick(); return 0;
        case IDC_OpenWebPageButton: flow_.OpenWebPageClick(); return 0;
        case IDC_OKButton: CloseWindow(); return 0;
        default: break;
        }
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

void TVelkAppUpdateNotifyBox::SetReadmeLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t index = 0; index < lines.size(); ++index)
        text += (index > 0 ? "\r\n" : "") + lines[index];
    SetControlText(Handle(), IDC_ReadmeMemo, text);
}

void TVelkAppUpdateNotifyBox::SetDownloadEnabled(bool enabled)
{
    EnableWindow(GetDlgItem(Handle(), IDC_DownloadButton), enabled ? TRUE : FALSE);
}

// The window stays behind the download window, taking no input meanwhile:
// the transfer's wait serves the message loop, and a second press of
// Download must not start a second download.
void TVelkAppUpdateNotifyBox::RunDownload(const TDownloadRequest& request)
{
    TVelkAppUpdateDownloadBox download(seams_, Handle());
    EnableWindow(Handle(), FALSE);
    struct TEnableAgain {
        HWND window;
        ~TEnableAgain() { EnableWindow(window, TRUE); }
    } enableAgain{Handle()};
    download.Download(request);
}

void TVelkAppUpdateNotifyBox::CloseWindow()
{
    closed_ = true;
}

}  // namespace quorvex::win32
