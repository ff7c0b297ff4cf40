// The windows as a desktop program: the status, help and editor windows are
// transient for the main window, and a link, the donate picture or the
// messenger that cannot be opened is reported in a message box.
#include "WindowsFixture.h"
#include "ui/qt/mxLinkLabel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <QWindow>

namespace quorvex::test {
namespace {

TEST(DesktopWindows, StatusHelpAndEditorAreTransientForTheMainWindow)
{
    TWindowsFixture fixture;
    TQuorvexWindows& windows = fixture.windows;
    windows.main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows.main.get()));

    for (QWidget* window : std::initializer_list<QWidget*>{&windows.main->StatusWindow(), &windows.main->HelpWindow(), &windows.main->EditWindow()}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->parentWidget(), windows.main.get());
        window->show();
        ASSERT_NE(window->windowHandle(), nullptr);
        EXPECT_EQ(window->windowHandle()->transientParent(), windows.main->windowHandle());
        // The X11 platform marks only a dialog-typed window transient for its
        // parent (WM_TRANSIENT_FOR), which keeps it off the task bar.
        EXPECT_EQ(window->windowHandle()->type(), Qt::Dialog);
        window->hide();
    }
    EXPECT_EQ(windows.splash->parentWidget(), nullptr) << "the splash is the application's";
}

struct TOpenCase {
    const char* Name;
    std::function<void(TQuorvexWindows&)> Open;
};

class OpenFailure : public ::testing::TestWithParam<TOpenCase> {};

TEST_P(OpenFailure, IsReportedWithTheShellsReasonAndSuccessIsNot)
{
    const TOpenCase& c = GetParam();
    TWindowsFixture fixture;
    c.Open(fixture.windows);
    ASSERT_EQ(fixture.seams.Shell->Requests.size(), 1u);
    EXPECT_TRUE(fixture.seams.Messages->Shown.empty());

    fixture.seams.Shell->FailWith = "Wine could not be started: execvp: No such file or directory";
    c.Open(fixture.windows);

    ASSERT_EQ(fixture.seams.Shell->Requests.size(), 2u);
    ASSERT_EQ(fixture.seams.Messages->Shown.size(), 1u);
    const TShownMessage& shown = fixture.seams.Messages->Shown[0];
    EXPECT_EQ(shown.Caption, "Quorvex");
    EXPECT_EQ(shown.Type, TMsgDlgType::Error);
    EXPECT_EQ(shown.Buttons, TMsgDlgButtons::Ok);
    EXPECT_EQ(shown.Text, QString("Cannot open \"%1\". Wine could not be started: execvp: No such file or directory.")
                              .arg(fixture.seams.Shell->Requests[1].Target));
}

void CloseStatusLoadingMessenger(TQuorvexWindows& windows)
{
    windows.main->StatusWindow().findChild<QCheckBox*>("cbOpenYM")->setChecked(true);
    windows.main->StatusWindow().Show();
    windows.main->StatusWindow().Close();
}

void ClickLink(TQuorvexWindows& windows)
{
    windows.main->findChild<TmxLinkLabel*>("mxLinkLabel1")->Click();
}

INSTANTIATE_TEST_SUITE_P(
    Openers, OpenFailure,
    ::testing::Values(
        TOpenCase{"Messenger", CloseStatusLoadingMessenger}, TOpenCase{"Link", ClickLink},
        TOpenCase{"Donate", [](TQuorvexWindows& windows) { windows.main->Form().imgDonateClick(); }}),
    [](const ::testing::TestParamInfo<TOpenCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex::test
