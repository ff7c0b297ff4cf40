#include "ui/win32/uEdit.h"

#include "forms/HtmlPage.h"
#include "platform/Error.h"
#include "platform/Platform.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/HtmlToRtf.h"
#include "ui/win32/Messages.h"
#include "ui/win32/RichEdit.h"

#include <richedit.h>

#include <cstdint>
#include <vector>

namespace quorvex::win32 {
namespace {

constexpr SIZE kClientSize{345, 295};
constexpr std::string_view kReportCaption = "Quorvex";
constexpr COLORREF kPageDefault = RGB(255, 255, 255);  // a page that asks for no background

constexpr TColorRowDesign kColorRow{{8, 8, 32, 32}, {38, 12, 158, 28}, {176, 8, 200, 32}, {206, 12, 337, 28}, IDC_imgDropp};
constexpr RECT kGroupBox{8, 40, 337, 251};
constexpr RECT kPreview{17, 50, 328, 241};  // inside the group box at (9, 10)
constexpr RECT kSaveButton{97, 260, 247, 285};

}  // namespace

TfrmEdit::TfrmEdit(TColorDialog& cdColor)
    : TWindow({L"TfrmEdit", L" Edit HTML Replacement File", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
               WS_EX_DLGMODALFRAME, kClientSize, L"Arial", 12})
{
    colorRow_ = std::make_unique<TColorRow>(*this, kColorRow, cdColor, TFrameHover::PictureOnly,
                                            [this](std::uint32_t colour) { form_->ColorChange(colour); });
    AddControl(L"BUTTON", IDC_gbPreview, WS_VISIBLE | BS_GROUPBOX, kGroupBox);
    LoadRichEdit();
    preview_ = AddControl(MSFTEDIT_CLASS, IDC_wbPreview, WS_VISIBLE | ES_MULTILINE | ES_READONLY, kPreview);
    // Sunken, as the Linux preview's frame; the window paints under the
    // group box, which draws only its frame (so no WS_CLIPCHILDREN).
    SetWindowLongPtrW(preview_, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(preview_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    const HWND save = AddControl(L"BUTTON", IDC_btnSave, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kSaveButton);
    SetWindowTextW(save, L"&Save Changes");
    form_ = std::make_unique<TEditForm>(static_cast<IEditView&>(*this));
}

TfrmEdit::~TfrmEdit() = default;

void TfrmEdit::ShowWindow()
{
    ShowInFront();
}

LRESULT TfrmEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_btnSave && HIWORD(wParam) == BN_CLICKED) {
        form_->btnSaveClick();
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

// A file that cannot be read shows a page naming it and the reason.
void TfrmEdit::ShowFile(const std::string& path)
{
    std::string html;
    try {
        const std::vector<std::uint8_t> bytes = FileSystem().ReadFile(path);
        html.assign(bytes.begin(), bytes.end());
    } catch (const Error& error) {
        html = CannotShowPage(path, error.what());
    }
    ShowPage(html);
}

// The page's text in the RichEdit over the page's background colour.
void TfrmEdit::ShowPage(const std::string& html)
{
    const std::uint32_t background = PageBackground(html).value_or(kPageDefault);
    SendMessageW(preview_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(background));
    StreamRtfInto(preview_, HtmlToRtf(html));
    InvalidateRect(preview_, nullptr, TRUE);
}

void TfrmEdit::CloseWindow()
{
    Hide();
}

void TfrmEdit::ReportError(const std::string& message)
{
    ShowMessage(Handle(), ErrorReportText(message), kReportCaption, TMessageIcon::Error);
}

}  // namespace quorvex::win32
