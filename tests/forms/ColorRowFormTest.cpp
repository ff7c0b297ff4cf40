// The colour row's rules on a view that draws nothing: the shared dialog's
// memory, the dropper held with the left button, the sampling and the
// lighting borders.
#include "forms/ColorRowForm.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace quorvex::test {
namespace {

// Journal: "fill <hex>", "sampling on|off", "pointer dropper|arrow",
// "pipette shown|blank", "border box|frame lit|rest", "ask <hex>".
class TFakeColorRowView final : public IColorRowView {
public:
    std::vector<std::string> Journal;
    std::uint32_t Box = 0xFFFFFF;
    bool Timer = false;
    std::deque<std::optional<std::uint32_t>> Answers;  // the dialog's, in turn
    std::deque<std::optional<std::uint32_t>> Pixels;   // the screen's, in turn

    std::uint32_t BoxColor() const override { return Box; }
    void FillBox(std::uint32_t colour) override
    {
        Box = colour;
        Journal.push_back("fill " + Hex(colour));
    }
    void StartSampling() override { Set(Timer, true, "sampling on"); }
    void StopSampling() override { Set(Timer, false, "sampling off"); }
    bool Sampling() const override { return Timer; }
    void ShowDropperPointer(bool dropper) override { Journal.push_back(dropper ? "pointer dropper" : "pointer arrow"); }
    void ShowPipette(bool shown) override { Journal.push_back(shown ? "pipette shown" : "pipette blank"); }
    void LightBorder(TColorRowPart border, bool lit) override
    {
        Journal.push_back(std::string("border ") + (border == TColorRowPart::Box ? "box " : "frame ")
                          + (lit ? "lit" : "rest"));
    }
    std::optional<std::uint32_t> AskColor(std::uint32_t initial) override
    {
        Journal.push_back("ask " + Hex(initial));
        return Next(Answers);
    }
    std::optional<std::uint32_t> PixelUnderPointer() override { return Next(Pixels); }

private:
    static std::string Hex(std::uint32_t colour)
    {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", colour);
        return text;
    }
    static std::optional<std::uint32_t> Next(std::deque<std::optional<std::uint32_t>>& answers)
    {
        if (answers.empty())
            return std::nullopt;
        const std::optional<std::uint32_t> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Set(bool& flag, bool value, const char* entry)
    {
        flag = value;
        Journal.push_back(entry);
    }
};

TEST(ColorRowForm, TheSharedDialogOpensAtTheLastColourAcceptedInEitherRowBlackFirst)
{
    TColorDialogForm dialog;
    TFakeColorRowView mainView;
    TFakeColorRowView editView;
    TColorRowForm mainRow(mainView, dialog, TFrameHover::PictureAndFrame);
    TColorRowForm editRow(editView, dialog, TFrameHover::PictureOnly);
    mainView.Answers = {0x112233, std::nullopt};
    editView.Answers = {0x445566};

    mainRow.shColorMouseUp();
    editRow.shColorMouseUp();
    mainRow.shColorMouseUp();  // cancelled

    EXPECT_EQ(mainView.Journal, (std::vector<std::string>{"ask 000000", "fill 112233", "ask 445566"}));
    EXPECT_EQ(editView.Journal, (std::vector<std::string>{"ask 112233", "fill 445566"}));
    EXPECT_EQ(mainRow.Color(), 0x112233u) << "a cancel leaves the box";
    EXPECT_EQ(dialog.Color(), 0x445566u);
}

TEST(ColorRowForm, TheLeftButtonHeldOnThePipetteSamplesTheScreenUntilReleased)
{
    TColorDialogForm dialog;
    TFakeColorRowView view;
    TColorRowForm row(view, dialog, TFrameHover::PictureAndFrame);
    view.Pixels = {0x0000FF, std::nullopt, 0x00FF00};

    row.imgDropMouseDown(false);
    EXPECT_FALSE(row.Picking()) << "another button does nothing";
    row.imgDropMouseDown(true);
    EXPECT_TRUE(row.Picking());
    row.tmrDropTimer();
    row.tmrDropTimer();  // a position no screen shows
    row.tmrDropTimer();
    row.imgDropMouseUp(false);
    EXPECT_TRUE(row.Picking()) << "another button's release does not end it";
    row.imgDropMouseUp(true);

    EXPECT_EQ(view.Journal, (std::vector<std::string>{"sampling on", "pointer dropper", "pipette blank", "fill 0000FF",
                                                      "fill 00FF00", "sampling off", "pointer arrow",
                                                      "pipette shown"}));
    EXPECT_FALSE(row.Picking());
}

struct THoverCase {
    const char* Name;
    TFrameHover Hover;
    std::vector<std::string> Expected;
};

class ColorRowHover : public ::testing::TestWithParam<THoverCase> {};

TEST_P(ColorRowHover, TheBoxAndThePipetteLightTheirBordersAndTheFrameOnlyWhereItMay)
{
    TColorDialogForm dialog;
    TFakeColorRowView view;
    TColorRowForm row(view, dialog, GetParam().Hover);
    for (TColorRowPart part : {TColorRowPart::Box, TColorRowPart::Pipette, TColorRowPart::Frame}) {
        row.PointerOver(part, true);
        row.PointerOver(part, false);
    }
    EXPECT_EQ(view.Journal, GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ColorRowHover,
    ::testing::Values(THoverCase{"AdvertsTab", TFrameHover::PictureAndFrame,
                                 {"border box lit", "border box rest", "border frame lit", "border frame rest",
                                  "border frame lit", "border frame rest"}},
                      THoverCase{"Editor", TFrameHover::PictureOnly,
                                 {"border box lit", "border box rest", "border frame lit", "border frame rest"}}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
