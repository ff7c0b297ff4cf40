// The colour row of the Adverts tab and of the editor window in Win32, as
// TColorRowForm rules it: a colour box that opens the shared system colour
// dialog, and a dropper that takes the colour of any screen pixel while the
// left button is held on its pipette.
#pragma once

#include "forms/ColorRowForm.h"
#include "ui/win32/Window.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace quorvex::win32 {

// The colour dialog that the main window owns and the editor shares: the
// last accepted colour and the dialog's custom colours, one memory for both rows.
class TColorDialog {
public:
    TColorDialogForm& Form() { return form_; }
    COLORREF* CustomColors() { return custom_.data(); }

private:
    TColorDialogForm form_;
    std::array<COLORREF, 16> custom_{};
};

// Where the row's controls lie in their window, at 96 DPI.
struct TColorRowDesign {
    RECT shColor;  // the colour box
    RECT lbColor;  // "Background Color"
    RECT shDrop;   // the frame; the pipette lies centred in it
    RECT lbDrop;   // "Get Color from Screen"
    int imgDropId;  // the pipette's id, after its name in that window
};

// Its box, frame and pipette are windows of a class of the row's own, which
// paint themselves and answer the pointer, so the row needs none of its
// host window's messages.
class TColorRow : private IColorRowView {
public:
    // Called with the box's new colour (bits 0-7 red, 8-15 green, 16-23 blue).
    using TChange = std::function<void(std::uint32_t colour)>;

    // Makes the row's controls in host; it must outlive them. Throws Error.
    TColorRow(TWindow& host, const TColorRowDesign& design, TColorDialog& cdColor, TFrameHover frameHover,
              TChange onChange);
    ~TColorRow() override;
    TColorRow(const TColorRow&) = delete;
    TColorRow& operator=(const TColorRow&) = delete;

    std::uint32_t Color() const { return form_.Color(); }
    bool Picking() const { return form_.Picking(); }

private:
    enum class TPiece { Box, Frame, Pipette };
    struct TPieceState {
        HWND handle = nullptr;
        bool pointerInside = false;
    };

    static LRESULT CALLBACK PieceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PieceMessage(TPiece piece, UINT message, WPARAM wParam, LPARAM lParam);
    HWND AddPiece(TWindow& host, TPiece piece, int id, RECT designBounds);
    TPieceState& State(TPiece piece) { return pieces_[static_cast<int>(piece)]; }
    void TrackPointer(TPiece piece);
    void Paint(TPiece piece);

    std::uint32_t BoxColor() const override { return boxColor_; }
    void FillBox(std::uint32_t colour) override;
    void StartSampling() override;
    void StopSampling() override;
    bool Sampling() const override { return sampling_; }
    void ShowDropperPointer(bool dropper) override;
    void ShowPipette(bool shown) override;
    void LightBorder(TColorRowPart border, bool lit) override;
    std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
    std::optional<std::uint32_t> PixelUnderPointer() override;

    HWND host_;
    TColorDialog& cdColor_;
    TChange onChange_;
    std::array<TPieceState, 3> pieces_{};
    std::uint32_t boxColor_ = 0xFFFFFF;  // white until a colour is chosen
    COLORREF boxBorder_;
    COLORREF frameBorder_;
    bool sampling_ = false;
    bool pipetteShown_ = true;
    bool dropperPointer_ = false;
    HCURSOR dropperCursor_;
    HICON pipette_;
    TColorRowForm form_;
};

}  // namespace quorvex::win32
