#include "forms/ColorRowForm.h"

namespace quorvex {

std::optional<std::uint32_t> TColorDialogForm::Execute(const TPick& pick)
{
    const std::optional<std::uint32_t> chosen = pick(color_);
    if (chosen)
        color_ = *chosen;
    return chosen;
}

void TColorRowForm::shColorMouseUp()
{
    if (const std::optional<std::uint32_t> chosen =
            cdColor_.Execute([this](std::uint32_t initial) { return view_.AskColor(initial); }))
        view_.FillBox(*chosen);
}

void TColorRowForm::imgDropMouseDown(bool left)
{
    if (!left)
        return;
    view_.StartSampling();
    view_.ShowDropperPointer(true);
    view_.ShowPipette(false);
}

void TColorRowForm::imgDropMouseUp(bool left)
{
    if (!left)
        return;
    view_.StopSampling();
    view_.ShowDropperPointer(false);
    view_.ShowPipette(true);
}

// A position no screen shows (or that cannot be read) leaves the colour.
void TColorRowForm::tmrDropTimer()
{
    if (const std::optional<std::uint32_t> pixel = view_.PixelUnderPointer())
        view_.FillBox(*pixel);
}

void TColorRowForm::PointerOver(TColorRowPart part, bool entered)
{
    if (part == TColorRowPart::Box)
        view_.LightBorder(TColorRowPart::Box, entered);
    else if (part == TColorRowPart::Pipette || frameHover_ == TFrameHover::PictureAndFrame)
        view_.LightBorder(TColorRowPart::Frame, entered);
}

}  // namespace quorvex
