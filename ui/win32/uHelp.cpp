#include "ui/win32/uHelp.h"

#include "archive/mxStorage.h"
#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/HtmlToRtf.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{641, 458};
constexpr int kPageMargin = 12;  // the help page's own margin

// RICHEDIT50W lives in Msftedit.dll, loaded once for the program's life.
void LoadRichEdit()
{
    static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
    if (library == nullptr)
        throw Error("Cannot load Msftedit.dll: " + Win32ErrorText(GetLastError()));
}

struct TRtfSource {
    std::string_view text;
    std::size_t position = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    auto& source = *reinterpret_cast<TRtfSource*>(cookie);
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(size, LONG{0})),
                                       source.text.size() - source.position);
    std::memcpy(buffer, source.text.data() + source.position, count);
    source.position += count;
    *read = static_cast<LONG>(count);
    return 0;
}

void LoadDocument(HWND richEdit, const TmxStorage& storage)
{
    const auto html = storage.ItemByIndex(kHelpItem).GetAsStream().Bytes();
    const std::string rtf = HtmlToRtf({reinterpret_cast<const char*>(html.data()), html.size()});
    TRtfSource source{rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &ReadRtf;
    SendMessageW(richEdit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0)
        throw Error("The help document cannot be shown: error " + std::to_string(stream.dwError));
    SendMessageW(richEdit, EM_SETSEL, 0, 0);
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
