#include "ui/win32/uHelp.h"

#include "archive/mxStorage.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/HtmlToRtf.h"
#include "ui/win32/RichEdit.h"

#include <richedit.h>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{641, 458};
constexpr int kPageMargin = 12;  // the help page's own margin

void LoadDocument(HWND richEdit, const TmxStorage& storage)
{
    const auto html = storage.ItemByIndex(kHelpItem).GetAsStream().Bytes();
    StreamRtfInto(richEdit, HtmlToRtf({reinterpret_cast<const char*>(html.data()), html.size()}));
}

}  // namespace

TfrmHelp::TfrmHelp(const TmxStorage& storage)
    : TWindow({L"TfrmHelp", L" Help Document", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
               WS_EX_DLGMODALFRAME, kClientSize, L"Tahoma", 11})
{
    LoadRichEdit();
    view_ = AddControl(MSFTEDIT_CLASS, IDC_wbHelp,
                       WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                       {0, 0, kClientSize.cx, kClientSize.cy});
    LoadDocument(view_, storage);
    DpiChanged();
}

// The page's margin inside the view, which a RichEdit forgets when resized.
void TfrmHelp::DpiChanged()
{
    RECT page{};
    GetClientRect(view_, &page);
    InflateRect(&page, -Scaled(kPageMargin, Dpi()), -Scaled(kPageMargin, Dpi()));
    SendMessageW(view_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&page));
}

void TfrmHelp::ShowWindow()
{
    ShowInFront();
}

}  // namespace quorvex::win32
