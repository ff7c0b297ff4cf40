#include "ui/win32/update/uUpdateDownload.h"

#include "platform/SpecialFolders.h"
#include "update/UpdateHttp.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/update/UpdateWindowDesign.h"
#include "ui/win32/update/Win32UpdateSeams.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{440, 260};
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1IntervalMs = 1000;

struct TLabel {
    int id;
    int left;
    int top;
    int width;
    const char* text;
};

// Captions at x 8, the values they name at x 135, in keyboard order.
constexpr TLabel kLabels[] = {
    {IDC_Label1, 8, 16, 120, "File :"},
    {IDC_FileLabel, 135, 16, 296, "-"},
    {IDC_Label2, 8, 39, 120, "Speed :"},
    {IDC_SpeedLabel, 135, 39, 296, "0 KB/sec"},
    {IDC_Label4, 8, 63, 120, "Status :"},
    {IDC_StatusLabel, 135, 63, 296, "Downloading file"},
    {IDC_Label5, 8, 86, 120, "Elapsed Time :"},
    {IDC_ElapsedTimeLabel, 135, 86, 296, "00:00:00"},
    {IDC_Label6, 8, 110, 120, "Remaining Time :"},
    {IDC_RemainingTimeLabel, 135, 110, 296, "00:00:00"},
    {IDC_Label9, 8, 134, 120, "Transfer :"},
    {IDC_TransferLabel, 135, 134, 296, "0 KB of 0 KB"},
};
constexpr int kLabelHeight = 20;  // one line, centred in it

void LoadProgressBar()
{
    static const bool loaded = [] {
        INITCOMMONCONTROLSEX controls{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)), ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)loaded;  // without it the control cannot be made, which AddControl reports
}

}  // namespace

TVelkAppUpdateDownloadBox::TVelkAppUpdateDownloadBox(TUpdateSeams& seams, HWND owner)
    : TWindow(UpdateWindowDesign(L"TVelkAppUpdateDownloadBox", L"Download New Version", kClientSize)),
      flow_(*this, HttpCli1, seams)
{
    SetOwner(Handle(), owner);
    LoadProgressBar();
    for (const TLabel& label : kLabels) {
        AddControl(L"STATIC", label.id, WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX,
                   {label.left, label.top, label.left + label.width, label.top + kLabelHeight});
        SetControlText(Handle(), label.id, label.text);
    }
    progress_ = AddControl(PROGRESS_CLASSW, IDC_ProgressBar1, WS_VISIBLE, {8, 188, 8 + 423, 188 + 16});
    cancel_ = AddControl(L"BUTTON", IDC_CancelButton, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                         {356, 221, 356 + 75, 221 + 25});
    SetControlText(Handle(), IDC_CancelButton, "Cancel");
    ConfigureUpdateClient(HttpCli1);
    flow_.ThousandsSeparator = UserThousandsSeparator();
}

void TVelkAppUpdateDownloadBox::Download(const TDownloadRequest& request)
{
    flow_.FileSizeUnit = request.FileSizeUnit;
    HttpCli1.SetProxy(request.Proxy);
    HttpCli1.SetProxyPort(request.ProxyPort);
    flow_.Download(request.URL, SystemSpecialFolders(), request.Check);
}

void TVelkAppUpdateDownloadBox::Close()
{
    if (flow_.CloseRequested())
        Hide();
}

LRESULT TVelkAppUpdateDownloadBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (ColorUpdateText(message, wParam, result))
        return result;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CancelButton && HIWORD(wParam) == BN_CLICKED) {
            flow_.CancelClick();
            return 0;
        }
        break;
    case WM_TIMER:
        if (wParam == kTimer1) {
            flow_.TimerTick();
            return 0;
        }
        break;
    case DM_GETDEFID:
        return MAKELRESULT(IDC_CancelButton, DC_HASDEFID);
    default:
        break;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

void TVelkAppUpdateDownloadBox::SetFileText(const std::string& text)
{
    SetControlText(Handle(), IDC_FileLabel, text);
}

void TVelkAppUpdateDownloadBox::SetStatusText(const std::string& text)
{
    SetControlText(Handle(), IDC_StatusLabel, text);
}

void TVelkAppUpdateDownloadBox::SetTransferText(const std::string& text)
{
    SetControlText(Handle(), IDC_TransferLabel, text);
}

void TVelkAppUpdateDownloadBox::SetSpeedText(const std::string& text)
{
    SetControlText(Handle(), IDC_SpeedLabel, text);
}

void TVelkAppUpdateDownloadBox::SetElapsedText(const std::string& text)
{
    SetControlText(Handle(), IDC_ElapsedTimeLabel, text);
}

void TVelkAppUpdateDownloadBox::SetRemainingText(const std::string& text)
{
    SetControlText(Handle(), IDC_RemainingTimeLabel, text);
}

void TVelkAppUpdateDownloadBox::SetProgressMaximum(std::int64_t maximum)
{
    SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(std::clamp<std::int64_t>(maximum, 0, INT_MAX)));
}

void TVelkAppUpdateDownloadBox::SetProgress(std::int64_t position)
{
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(std::clamp<std::int64_t>(position, 0, INT_MAX)), 0);
}

void TVelkAppUpdateDownloadBox::SetCancelEnabled(bool enabled)
{
    EnableWindow(cancel_, enabled ? TRUE : FALSE);
}

bool TVelkAppUpdateDownloadBox::CancelEnabled() const
{
    return IsWindowEnabled(cancel_) != FALSE;
}

void TVelkAppUpdateDownloadBox::StartTimer()
{
    SetTimer(Handle(), kTimer1, kTimer1IntervalMs, nullptr);
}

void TVelkAppUpdateDownloadBox::StopTimer()
{
    KillTimer(Handle(), kTimer1);
}

void TVelkAppUpdateDownloadBox::ShowWindow()
{
    ShowInFront();
}

}  // namespace quorvex::win32
