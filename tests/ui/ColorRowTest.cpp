// The colour rows of the Adverts tab and of the editor: the colour box and the
// shared colour dialog, the dropper with its timer, cursor and capture, and the
// colour that reaches the HTML replacement file.
#include "WindowsFixture.h"
#include "engine/HtmlFile.h"
#include "engine/TQuorvex.h"
#include "ui/qt/ColorRow.h"
#include "ui/qt/Shape.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace quorvex::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kRestBorder(167, 166, 170);
const QColor kHoverBorder(255, 0, 0);

// Where a row lives: its window and the names its controls have there.
struct TRowPlace {
    const char* Window;
    const char* Picture;
    const char* Timer;
    bool FrameHovers;
};

void PrintTo(const TRowPlace& place, std::ostream* out)
{
    *out << place.Window;
}

const TRowPlace kAdvertsTab{"main", "imgDrop", "tmrDrop", true};
const TRowPlace kEditor{"edit", "imgDropp", "tmrDropp", false};

class ColorRow : public ::testing::TestWithParam<TRowPlace> {
protected:
    void SetUp() override
    {
        Window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window()));
    }

    // The cursor override outlives a dropper use by design; it must not
    // outlive the test.
    void TearDown() override
    {
        while (QGuiApplication::overrideCursor() != nullptr)
            QGuiApplication::restoreOverrideCursor();
    }

    QWidget* Window() const
    {
        if (std::string_view(GetParam().Window) == "main")
            return fixture.windows.main.get();
        return &fixture.windows.main->EditWindow();
    }
    template <class T = QWidget>
    T* Find(const char* name) const
    {
        return Window()->findChild<T*>(QString::fromLatin1(name));
    }
    TShape* Box() const { return Find<TShape>("shColor"); }
    TShape* Frame() const { return Find<TShape>("shDrop"); }
    QLabel* Picture() const { return Find<QLabel>(GetParam().Picture); }
    QTimer* Timer() const { return Find<QTimer>(GetParam().Timer); }

    QPoint InWindow(QWidget* control, QPoint at) const { return control->mapTo(Window(), at); }
    // A press on the pipette and releases delivered as the window system
    // delivers them: to whatever lies under the pointer, unless captured.
    void PressPipette(Qt::MouseButton button) const
    {
        QTest::mousePress(Window()->windowHandle(), button, {}, InWindow(Picture(), {10, 10}));
    }
    void ReleaseAwayFromPipette(Qt::MouseButton button) const
    {
        QTest::mouseRelease(Window()->windowHandle(), button, {}, InWindow(Box(), {12, 12}));
    }
    void MoveTo(QWidget* control, QPoint at) const
    {
        QTest::mouseMove(Window()->windowHandle(), InWindow(control, at));
    }

    TWindowsFixture fixture{{.Version = "10.0.0.1270"}};
};

TEST_P(ColorRow, AnyButtonReleasedOnTheBoxOpensTheDialog)
{
    const std::vector<std::pair<Qt::MouseButton, QColor>> clicks{
        {Qt::RightButton, QColor(0x12, 0xAB, 0x05)},
        {Qt::LeftButton, QColor(0, 0, 255)},
        {Qt::MiddleButton, QColor(1, 2, 3)},
    };
    for (const auto& [button, colour] : clicks) {
        fixture.seams.ColorDialog->Answer = colour;
        QTest::mouseClick(Box(), button);
        EXPECT_EQ(Box()->BrushColor(), colour) << "button " << button;
    }
    EXPECT_EQ(fixture.seams.ColorDialog->Preselected.size(), clicks.size());

    fixture.seams.ColorDialog->Answer.reset();
    QTest::mouseClick(Box(), Qt::RightButton);
    EXPECT_EQ(Box()->BrushColor(), QColor(1, 2, 3)) << "cancelling changes nothing";
}

TEST_P(ColorRow, PressAndReleaseWithinOneIntervalChangeNothing)
{
    const QPixmap pipette = Picture()->pixmap();
    ASSERT_FALSE(pipette.isNull());
    fixture.seams.Screen->Answer = QColor(10, 20, 30);

    PressPipette(Qt::LeftButton);
    EXPECT_TRUE(Timer()->isActive());
    EXPECT_TRUE(Picture()->pixmap().isNull()) << "the pipette leaves its frame while in use";
    ReleaseAwayFromPipette(Qt::LeftButton);

    EXPECT_FALSE(Timer()->isActive()) << "the release reaches the pipette wherever the pointer is";
    EXPECT_EQ(Picture()->pixmap().toImage(), pipette.toImage());
    QTest::qWait(Timer()->interval() + 100);
    EXPECT_TRUE(fixture.seams.Screen->Sampled.empty()) << "no sample at the press, the release or after";
    EXPECT_EQ(Box()->BrushColor(), kWhite);
}

TEST_P(ColorRow, TheColourOfTheLastTickStaysNotTheOneUnderTheRelease)
{
    fixture.seams.Pointer->Path = {{100, 10}, {120, 20}, {140, 30}};
    fixture.seams.Screen->Pixels = [](const QPoint& at) { return QColor(at.x(), at.y(), 7); };
    PressPipette(Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.seams.Screen->Sampled.size() >= 3; }, 5000));

    fixture.seams.Pointer->Answer = {200, 200};  // where the button goes up
    ReleaseAwayFromPipette(Qt::LeftButton);

    EXPECT_EQ(Box()->BrushColor(), QColor(140, 30, 7));
    EXPECT_EQ(fixture.seams.Screen->Sampled.back(), QPoint(140, 30));
    EXPECT_EQ(std::vector(fixture.seams.Screen->Sampled.begin(), fixture.seams.Screen->Sampled.begin() + 3),
              (std::vector<QPoint>{{100, 10}, {120, 20}, {140, 30}}));
    EXPECT_FALSE(Timer()->isActive());
}

TEST_P(ColorRow, APixelThatCannotBeReadLeavesTheColour)
{
    fixture.seams.ColorDialog->Answer = QColor(9, 9, 9);
    QTest::mouseClick(Box(), Qt::LeftButton);
    fixture.seams.Screen->Answer.reset();

    PressPipette(Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.seams.Screen->Sampled.empty(); }, 5000));
    ReleaseAwayFromPipette(Qt::LeftButton);

    EXPECT_EQ(Box()->BrushColor(), QColor(9, 9, 9));
}

TEST_P(ColorRow, OtherButtonsOnThePipetteDoNothing)
{
    for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        PressPipette(button);
        EXPECT_FALSE(Timer()->isActive()) << "button " << button;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(Picture()->pixmap().isNull());
        ReleaseAwayFromPipette(button);
    }

    PressPipette(Qt::LeftButton);
    PressPipette(Qt::RightButton);
    ReleaseAwayFromPipette(Qt::RightButton);
    EXPECT_TRUE(Timer()->isActive()) << "only the left release stops picking";
    ReleaseAwayFromPipette(Qt::LeftButton);
    EXPECT_FALSE(Timer()->isActive());
}

TEST_P(ColorRow, TheCursorOverrideIsTheDropperWhilePickingAndStaysTheArrowAfter)
{
    for (int use = 0; use < 2; ++use) {
        PressPipette(Qt::LeftButton);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BitmapCursor);
        EXPECT_EQ(QGuiApplication::overrideCursor()->hotSpot(), QPoint(0, 15));
        ReleaseAwayFromPipette(Qt::LeftButton);
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor) << "use " << use;
    }
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "one override, not one per use";
}

TEST_P(ColorRow, BordersTurnRedUnderThePointer)
{
    QWidget* away = Find("lbColor");
    struct THover {
        QWidget* Over;
        QPoint At;
        QColor Box;
        QColor Frame;
    };
    const QColor frameItself = GetParam().FrameHovers ? kHoverBorder : kRestBorder;
    const std::vector<THover> path{
        {away, {5, 5}, kRestBorder, kRestBorder},      {Box(), {12, 12}, kHoverBorder, kRestBorder},
        {away, {5, 5}, kRestBorder, kRestBorder},      {Frame(), {0, 12}, kRestBorder, frameItself},
        {Picture(), {10, 10}, kRestBorder, kHoverBorder}, {away, {5, 5}, kRestBorder, kRestBorder},
    };
    for (std::size_t step = 0; step < path.size(); ++step) {
        MoveTo(path[step].Over, path[step].At);
        EXPECT_EQ(Box()->PenColor(), path[step].Box) << "step " << step;
        EXPECT_EQ(Frame()->PenColor(), path[step].Frame) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(BothWindows, ColorRow, ::testing::Values(kAdvertsTab, kEditor),
                         [](const auto& info) { return std::string(info.param.Window); });

TEST(ColorDialogMemory, TheLastAcceptedColourIsPreselectedInBothWindows)
{
    TWindowsFixture fixture;
    auto* mainBox = fixture.Find<TShape>("shColor");
    auto* editBox = fixture.windows.main->EditWindow().findChild<TShape*>("shColor");
    TFakeColorDialog& dialog = *fixture.seams.ColorDialog;
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);

    dialog.Answer = red;
    QTest::mouseClick(mainBox, Qt::LeftButton);
    dialog.Answer = blue;
    QTest::mouseClick(editBox, Qt::LeftButton);
    dialog.Answer.reset();
    QTest::mouseClick(mainBox, Qt::LeftButton);
    QTest::mouseClick(editBox, Qt::LeftButton);

    EXPECT_EQ(dialog.Preselected, (std::vector<QColor>{QColor(0, 0, 0), red, blue, blue}))
        << "black before the first acceptance; a cancel does not count";
    EXPECT_EQ(mainBox->BrushColor(), red) << "the boxes are independent";
    EXPECT_EQ(editBox->BrushColor(), blue);
}

TEST(ColorRowValue, TheChosenColourReachesTheReplacementFile)
{
    TWindowsFixture fixture({.Version = "10.0.0.1270"});
    EXPECT_EQ(fixture.windows.main->BackgroundColor(), 0xFFFFFFu) << "white before any choice";

    fixture.seams.ColorDialog->Answer = QColor(0x12, 0xAB, 0x05);
    QTest::mouseClick(fixture.Find("shColor"), Qt::RightButton);
    // The advert workflow writes a missing file with the box's colour.
    fixture.windows.main->Engine().CreateAdvertHTML(fixture.windows.main->BackgroundColor());

    QFile file(fixture.prefix.DriveC() + "/BlankQuorvex.html");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "<html><body bgcolor=\"#12AB05\" style=\"overflow: hidden;\"></body></html>\r\n");
}

TEST(ColorRowValue, ColourValuesHoldRedInTheLowByte)
{
    EXPECT_EQ(ColorValue(QColor(0x12, 0xAB, 0x05)), 0x05AB12u);
    EXPECT_EQ(ColorValue(QColor(255, 0, 0)), 0x0000FFu);
    EXPECT_EQ(ColorValue(QColor(0, 0, 255)), 0xFF0000u);
    EXPECT_EQ(ColorValue(QColor(0, 0, 0, 0)), 0u) << "no alpha in the value";
}

TEST(ScreenSampler, ReadsThePixelThatAWindowShowsAndNothingOffTheScreens)
{
    QWidget patch(nullptr, Qt::FramelessWindowHint);
    patch.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(200, 30, 40));
    patch.setPalette(palette);
    patch.setGeometry(40, 50, 60, 60);
    patch.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&patch));

    const std::shared_ptr<IScreenSampler> screen = DesktopSeams().Screen;
    EXPECT_EQ(screen->PixelAt(patch.mapToGlobal(QPoint(30, 30))), QColor(200, 30, 40));
    EXPECT_EQ(screen->PixelAt(QPoint(-10000, -10000)), std::nullopt);
}

}  // namespace
}  // namespace quorvex::test
