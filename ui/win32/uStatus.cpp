#include "ui/win32/uStatus.h"

#include "forms/ErrorReport.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/ShellOpen.h"

#include <commctrl.h>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{473, 348};
constexpr UINT kMarqueeInterval = 30;  // milliseconds per step of the moving bar

constexpr RECT Bounds(int x, int y, int width, int height)
{
    return {x, y, x + width, y + height};
}

}  // namespace

// Keyboard order: the log, the Close button, the box.
TfrmStatus::TfrmStatus(std::function<std::string()> messengerFolder,
                       std::function<void(const std::string&)> reportError)
    : TWindow({L"TfrmStatus", L"Status", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, kClientSize,
               L"Trebuchet MS", 12}),
      reportError_(std::move(reportError)),
      form_(*this, std::move(messengerFolder))
{
    lbStatus_ = AddControl(WC_STATICW, IDC_lbStatus, WS_VISIBLE | SS_NOPREFIX, Bounds(8, 8, 330, 16));
    pbStatus_ = AddControl(PROGRESS_CLASSW, IDC_pbStatus, WS_VISIBLE | PBS_SMOOTH | PBS_MARQUEE, Bounds(344, 8, 121, 16));
    SendMessageW(pbStatus_, PBM_SETBARCOLOR, 0, RGB(0, 128, 255));
    SendMessageW(pbStatus_, PBM_SETBKCOLOR, 0, RGB(0, 128, 192));
    AddControl(WC_STATICW, IDC_bvlTop, WS_VISIBLE | SS_ETCHEDHORZ, Bounds(0, 30, 473, 2));
    memStatus_ = AddControl(WC_EDITW, IDC_memStatus,
                            WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                            Bounds(8, 37, 457, 266));
    AddControl(WC_STATICW, IDC_bvlBottom, WS_VISIBLE | SS_ETCHEDHORZ, Bounds(0, 309, 473, 2));
    btnClose_ = AddControl(WC_BUTTONW, IDC_btnClose, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, Bounds(360, 316, 105, 25));
    SetWindowTextW(btnClose_, L"&Close");
    cbOpenYM_ = AddControl(WC_BUTTONW, IDC_cbOpenYM, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, Bounds(8, 316, 346, 25));
    SetWindowTextW(cbOpenYM_, L"&Load Yahoo Messenger after closing this window.");
    DrawStatusText(TStatusForm::kWorking);
    DrawProgress(TProgressState::Normal);
}

void TfrmStatus::Close()
{
    RunReportingErrors([this] { form_.WindowClosing(); }, reportError_);
    Hide();
}

LRESULT TfrmStatus::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_btnClose && HIWORD(wParam) == BN_CLICKED) {
        Close();
        return 0;
    }
    // Shown anew, not back from the minimised state.
    if (message == WM_SHOWWINDOW && wParam != FALSE && lParam == 0)
        form_.WindowShown();
    return TWindow::HandleMessage(message, wParam, lParam);
}

void TfrmStatus::ShowInFront()
{
    TWindow::ShowInFront();
}

// Each line below the last one.
void TfrmStatus::WriteLine(const std::string& line)
{
    const std::wstring text = (GetWindowTextLengthW(memStatus_) > 0 ? L"\r\n" : L"") + WideText(line);
    const LRESULT end = SendMessageW(memStatus_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(memStatus_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(memStatus_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TfrmStatus::ClearLines()
{
    SetWindowTextW(memStatus_, L"");
}

void TfrmStatus::DrawStatusText(const std::string& text)
{
    SetWindowTextW(lbStatus_, WideText(text).c_str());
}

// Normal is the moving bar; paused stops it, filled.
void TfrmStatus::DrawProgress(TProgressState state)
{
    const bool moving = state == TProgressState::Normal;
    const LONG_PTR style = GetWindowLongPtrW(pbStatus_, GWL_STYLE);
    SetWindowLongPtrW(pbStatus_, GWL_STYLE, moving ? style | PBS_MARQUEE : style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
    SendMessageW(pbStatus_, PBM_SETMARQUEE, moving ? TRUE : FALSE, kMarqueeInterval);
    if (!moving) {
        SendMessageW(pbStatus_, PBM_SETRANGE32, 0, 1);
        SendMessageW(pbStatus_, PBM_SETPOS, 1, 0);
    }
    InvalidateRect(pbStatus_, nullptr, TRUE);
}

void TfrmStatus::DrawCloseEnabled(bool enabled)
{
    EnableWindow(btnClose_, enabled ? TRUE : FALSE);
}

bool TfrmStatus::OpenMessengerTicked() const
{
    return SendMessageW(cbOpenYM_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmStatus::OpenHidden(const std::string& target)
{
    ShellOpen(Handle(), target, SW_HIDE, reportError_);
}

}  // namespace quorvex::win32
