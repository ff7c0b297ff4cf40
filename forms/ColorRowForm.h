// The colour row of the Adverts tab and of the editor window: a colour box
// that opens the shared colour dialog, and a dropper that takes the colour of
// any screen pixel while the left button is held on its pipette. Colours are
// as the engine takes them: bits 0-7 red, 8-15 green, 16-23 blue.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace quorvex {

// The colour dialog that the main window owns and the editor shares: it opens
// with the last colour accepted in it, black before the first.
class TColorDialogForm {
public:
    // Asks the user for a colour, the dialog opening at initial; nothing when cancelled.
    using TPick = std::function<std::optional<std::uint32_t>(std::uint32_t initial)>;

    std::uint32_t Color() const { return color_; }
    std::optional<std::uint32_t> Execute(const TPick& pick);

private:
    std::uint32_t color_ = 0;
};

// The parts of a row whose border lights while the pointer is over them.
enum class TColorRowPart { Box, Pipette, Frame };

class IColorRowView {
public:
    virtual ~IColorRowView() = default;
    virtual std::uint32_t BoxColor() const = 0;
    // Fills the box; the window learns of the new colour.
    virtual void FillBox(std::uint32_t colour) = 0;
    // The sampling timer, every 300 ms.
    virtual void StartSampling() = 0;
    virtual void StopSampling() = 0;
    virtual bool Sampling() const = 0;
    // The dropper pointer over everything while picking; the arrow after.
    virtual void ShowDropperPointer(bool dropper) = 0;
    // The pipette picture, or the blank one while it is "in the hand".
    virtual void ShowPipette(bool shown) = 0;
    // The box's border (Box) or the pipette's frame (Frame) lit or at rest.
    virtual void LightBorder(TColorRowPart border, bool lit) = 0;
    // Shows the colour dialog over this row's window, opening at initial;
    // the accepted colour, or nothing when cancelled.
    virtual std::optional<std::uint32_t> AskColor(std::uint32_t initial) = 0;
    // The colour the screen shows under the pointer; nothing where no screen
    // covers it or it cannot be read.
    virtual std::optional<std::uint32_t> PixelUnderPointer() = 0;
};

// Whether the pointer over the frame itself (not only over the pipette)
// lights the frame: so on the Adverts tab, not in the editor.
enum class TFrameHover { PictureOnly, PictureAndFrame };

class TColorRowForm {
public:
    TColorRowForm(IColorRowView& view, TColorDialogForm& cdColor, TFrameHover frameHover)
        : view_(view), cdColor_(cdColor), frameHover_(frameHover)
    {
    }

    std::uint32_t Color() const { return view_.BoxColor(); }
    bool Picking() const { return view_.Sampling(); }

    // Handlers, named after the controls and their events; left is whether
    // the left button is the one pressed or released.
    void shColorMouseUp();
    void imgDropMouseDown(bool left);
    void imgDropMouseUp(bool left);
    void tmrDropTimer();
    // The pointer entered (or left) a part of the row.
    void PointerOver(TColorRowPart part, bool entered);

private:
    IColorRowView& view_;
    TColorDialogForm& cdColor_;
    TFrameHover frameHover_;
};

}  // namespace quorvex
