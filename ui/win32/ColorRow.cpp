#include "ui/win32/ColorRow.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "resources/windows/ResourceIds.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/WindowClass.h"

#include <commdlg.h>

#include <utility>

namespace quorvex::win32 {
namespace {

constexpr wchar_t kPieceClass[] = L"QuorvexColorRowPiece";
constexpr COLORREF kRestBorder = RGB(167, 166, 170);
constexpr COLORREF kHoverBorder = RGB(255, 0, 0);
constexpr COLORREF kFrameFill = RGB(255, 255, 255);
constexpr UINT_PTR kSamplingTimer = 1;
constexpr UINT kSamplingInterval = 300;  // milliseconds
constexpr int kPipetteInset = 2;         // the pipette lies centred in its frame

Error SystemError(const std::string& what)
{
    return Error(what + ": " + Win32ErrorText(GetLastError()));
}

HCURSOR ArrowCursor()
{
    return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
}

void RegisterPieceClass(WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = ArrowCursor();
    windowClass.lpszClassName = kPieceClass;
    RegisterClassOnce(windowClass);
}

// A rectangle filled with a border of one design pixel around it.
void PaintShape(HWND window, HDC dc, COLORREF border, COLORREF fill)
{
    RECT bounds{};
    GetClientRect(window, &bounds);
    const int width = Scaled(1, WindowDpi(window));
    const auto fillRect = [dc](const RECT& r, COLORREF colour) {
        SetDCBrushColor(dc, colour);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    };
    fillRect(bounds, border);
    InflateRect(&bounds, -width, -width);
    fillRect(bounds, fill);
}

RECT Inset(RECT r, int by)
{
    InflateRect(&r, -by, -by);
    return r;
}

}  // namespace

TColorRow::TColorRow(TWindow& host, const TColorRowDesign& design, TColorDialog& cdColor, TFrameHover frameHover,
                     TChange onChange)
    : host_(host.Handle()),
      cdColor_(cdColor),
      onChange_(std::move(onChange)),
      boxBorder_(kRestBorder),
      frameBorder_(kRestBorder),
      dropperCursor_(LoadCursorW(GetModuleHandleW(nullptr), L"Dropper")),
      pipette_(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DROPPER), IMAGE_ICON, 0,
                                             0, LR_DEFAULTCOLOR))),
      form_(*this, cdColor.Form(), frameHover)
{
    if (dropperCursor_ == nullptr)
        throw SystemError("Cannot load the cursor \"Dropper\"");
    if (pipette_ == nullptr)
        throw SystemError("Cannot load the pipette picture");
    RegisterPieceClass(&TColorRow::PieceProcedure);
    AddPiece(host, TPiece::Box, IDC_shColor, design.shColor);
    host.AddControl(L"STATIC", IDC_lbColor, WS_VISIBLE | SS_LEFTNOWORDWRAP, design.lbColor);
    SetDlgItemTextW(host_, IDC_lbColor, L"Background Color");
    const HWND frame = AddPiece(host, TPiece::Frame, IDC_shDrop, design.shDrop);
    const HWND pipette = AddPiece(host, TPiece::Pipette, design.imgDropId, Inset(design.shDrop, kPipetteInset));
    // The pipette above its frame, which leaves it alone when painting.
    SetWindowLongPtrW(frame, GWL_STYLE, GetWindowLongPtrW(frame, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(frame, pipette, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    host.AddControl(L"STATIC", IDC_lbDrop, WS_VISIBLE | SS_LEFTNOWORDWRAP, design.lbDrop);
    SetDlgItemTextW(host_, IDC_lbDrop, L"Get Color from Screen");
}

TColorRow::~TColorRow()
{
    for (TPieceState& piece : pieces_) {
        if (piece.handle != nullptr)
            SetWindowLongPtrW(piece.handle, GWLP_USERDATA, 0);
    }
    DestroyIcon(pipette_);
}

HWND TColorRow::AddPiece(TWindow& host, TPiece piece, int id, RECT designBounds)
{
    const HWND handle = host.AddControl(kPieceClass, id, WS_VISIBLE, designBounds);
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    State(piece).handle = handle;
    return handle;
}

LRESULT CALLBACK TColorRow::PieceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* row = reinterpret_cast<TColorRow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (row != nullptr) {
        for (const TPiece piece : {TPiece::Box, TPiece::Frame, TPiece::Pipette}) {
            if (row->State(piece).handle == window)
                return row->PieceMessage(piece, message, wParam, lParam);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TColorRow::TrackPointer(TPiece piece)
{
    TPieceState& state = State(piece);
    if (state.pointerInside)
        return;
    state.pointerInside = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, state.handle, 0};
    TrackMouseEvent(&track);
    form_.PointerOver(piece == TPiece::Box ? TColorRowPart::Box
                          : piece == TPiece::Frame ? TColorRowPart::Frame
                                                   : TColorRowPart::Pipette,
                      true);
}

// The held left button on the pipette keeps the pointer's messages there,
// wherever it goes on the screen, until it is released (or the capture is
// taken away, which ends the picking as a release would).
LRESULT TColorRow::PieceMessage(TPiece piece, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = State(piece).handle;
    switch (message) {
    case WM_PAINT:
        Paint(piece);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        TrackPointer(piece);
        return 0;
    case WM_MOUSELEAVE:
        State(piece).pointerInside = false;
        form_.PointerOver(piece == TPiece::Box ? TColorRowPart::Box
                              : piece == TPiece::Frame ? TColorRowPart::Frame
                                                       : TColorRowPart::Pipette,
                          false);
        return 0;
    case WM_SETCURSOR:
        if (dropperPointer_) {
            SetCursor(dropperCursor_);
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (piece == TPiece::Box) {
            SetCapture(window);
        } else if (piece == TPiece::Pipette) {
            if (message == WM_LBUTTONDOWN)
                SetCapture(window);
            form_.imgDropMouseDown(message == WM_LBUTTONDOWN);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (piece == TPiece::Box && GetCapture() == window) {
            ReleaseCapture();
            form_.shColorMouseUp();
        } else if (piece == TPiece::Pipette) {
            form_.imgDropMouseUp(message == WM_LBUTTONUP);
            if (message == WM_LBUTTONUP && GetCapture() == window)
                ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (piece == TPiece::Pipette && sampling_)
            form_.imgDropMouseUp(true);
        return 0;
    case WM_TIMER:
        if (piece == TPiece::Pipette && wParam == kSamplingTimer) {
            form_.tmrDropTimer();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TColorRow::Paint(TPiece piece)
{
    const HWND window = State(piece).handle;
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window, &paint);
    if (piece == TPiece::Box) {
        PaintShape(window, dc, boxBorder_, static_cast<COLORREF>(boxColor_));
    } else if (piece == TPiece::Frame) {
        PaintShape(window, dc, frameBorder_, kFrameFill);
    } else {
        RECT bounds{};
        GetClientRect(window, &bounds);
        SetDCBrushColor(dc, kFrameFill);
        FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        if (pipetteShown_)
            DrawIconEx(dc, 0, 0, pipette_, bounds.right, bounds.bottom, 0, nullptr, DI_NORMAL);
    }
    EndPaint(window, &paint);
}

// The colour value the engine takes (bits 0-7 red) is a COLORREF as it is.
void TColorRow::FillBox(std::uint32_t colour)
{
    boxColor_ = colour & 0xFFFFFF;
    InvalidateRect(State(TPiece::Box).handle, nullptr, FALSE);
    if (onChange_)
        onChange_(boxColor_);
}

void TColorRow::StartSampling()
{
    if (SetTimer(State(TPiece::Pipette).handle, kSamplingTimer, kSamplingInterval, nullptr) != 0)
        sampling_ = true;
}

void TColorRow::StopSampling()
{
    KillTimer(State(TPiece::Pipette).handle, kSamplingTimer);
    sampling_ = false;
}

void TColorRow::ShowDropperPointer(bool dropper)
{
    dropperPointer_ = dropper;
    SetCursor(dropper ? dropperCursor_ : ArrowCursor());
}

void TColorRow::ShowPipette(bool shown)
{
    pipetteShown_ = shown;
    InvalidateRect(State(TPiece::Pipette).handle, nullptr, FALSE);
}

void TColorRow::LightBorder(TColorRowPart border, bool lit)
{
    const TPiece piece = border == TColorRowPart::Box ? TPiece::Box : TPiece::Frame;
    (piece == TPiece::Box ? boxBorder_ : frameBorder_) = lit ? kHoverBorder : kRestBorder;
    InvalidateRect(State(piece).handle, nullptr, FALSE);
}

std::optional<std::uint32_t> TColorRow::AskColor(std::uint32_t initial)
{
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = host_;
    dialog.rgbResult = static_cast<COLORREF>(initial);
    dialog.lpCustColors = cdColor_.CustomColors();
    dialog.Flags = CC_RGBINIT;  // the default options, with the colour preselected
    if (ChooseColorW(&dialog) == FALSE)
        return std::nullopt;
    return static_cast<std::uint32_t>(dialog.rgbResult & 0xFFFFFF);
}

// The screen's pixel under the pointer; nothing where the pointer cannot be
// read or no screen shows it (GetPixel answers CLR_INVALID).
std::optional<std::uint32_t> TColorRow::PixelUnderPointer()
{
    POINT pointer{};
    if (GetCursorPos(&pointer) == FALSE)
        return std::nullopt;
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return std::nullopt;
    const COLORREF pixel = GetPixel(screen, pointer.x, pointer.y);
    ReleaseDC(nullptr, screen);
    if (pixel == CLR_INVALID)
        return std::nullopt;
    return static_cast<std::uint32_t>(pixel);
}

}  // namespace quorvex::win32
