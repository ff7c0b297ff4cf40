// The help window and the entry point of quorvex.exe, on a real display.
#include "tests/ui/win32/WindowDriver.h"
#include "ui/win32/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace quorvex::win32 {
namespace {

class HelpWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quorvex_.Started()) << "quorvex.exe does not start: error " << GetLastError();
        help_ = quorvex_.WaitForWindow(L" Help Document");
        ASSERT_NE(help_, nullptr) << "no help window shown";
        view_ = GetDlgItem(help_, IDC_wbHelp);
        ASSERT_NE(view_, nullptr) << "no control IDC_wbHelp";
    }

    TQuorvexProcess quorvex_{L"--window help"};
    HWND help_ = nullptr;
    HWND view_ = nullptr;
};

TEST_F(HelpWindow, IsAFixedDialogOfItsDesignSizeAtTheDisplaysDpiCentredOnTheScreen)
{
    ASSERT_EQ(GetDpiForWindow(help_), gDpi) << "the display's DPI";
    EXPECT_EQ(ClassOf(help_), L"TFRMHELP");
    RECT client{};
    GetClientRect(help_, &client);
    EXPECT_EQ(client.right, Scaled(641));
    EXPECT_EQ(client.bottom, Scaled(458));

    const LONG_PTR style = GetWindowLongPtrW(help_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << "a close box";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "fixed, no other box";
    EXPECT_TRUE(GetWindowLongPtrW(help_, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    RECT frame{};
    GetWindowRect(help_, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(help_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    EXPECT_EQ(ClassOf(view_), L"RICHEDIT50W");
    RECT view{};
    GetWindowRect(view_, &view);
    EXPECT_TRUE(Same(InClient(help_, view), client)) << "the view fills the client area";
    EXPECT_TRUE(GetWindowLongPtrW(view_, GWL_STYLE) & ES_READONLY);
}

TEST_F(HelpWindow, ShowsTheWindowsHelpDocument)
{
    const std::string text = TextOf(view_);
    std::size_t at = 0;
    for (const char* section : {"Quorvex - Help", "Questions and Answers", "Vista and Windows 7 Users", "Overall Usage",
                                "Advert Options", "( Yahoo Messenger 11 and 10 Only )", "Other Options",
                                "Yahoo UI Options", "HTML Replacement File", "C:\\BlankQuorvex.html"}) {
        const std::size_t found = text.find(section, at);
        ASSERT_NE(found, std::string::npos) << section << " after " << at << " in:\n" << text;
        at = found;
    }
    EXPECT_NE(text.find("Run as administrator"), std::string::npos);
    EXPECT_NE(text.find("This version runs on Windows"), std::string::npos);
    for (const char* absent : {"Wine", "prefix", "drive_c", "<", "&", "\\par", "font-family"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
}

TEST_F(HelpWindow, DrawsTheDocumentWithItsHeadingColour)
{
    UpdateWindow(view_);
    RECT view{};
    GetWindowRect(view_, &view);
    view.bottom = view.top + 60;  // the first heading
    int heading = 0;
    int white = 0;
    for (const COLORREF pixel : ScreenPixels(view)) {
        heading += pixel == RGB(0, 85, 127);
        white += pixel == RGB(255, 255, 255);
    }
    EXPECT_GT(heading, 20) << "pixels of the heading colour #00557F";
    EXPECT_GT(white, (view.right - view.left) * 30) << "a white page";
}

TEST_F(HelpWindow, EscapeAndTheCloseBoxOnlyHideItAndItComesBackUnchanged)
{
    const std::string text = TextOf(view_);
    PostMessageW(view_, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(help_); })) << "Escape hides it";
    EXPECT_TRUE(IsWindow(help_));

    ShowWindow(help_, SW_SHOW);
    EXPECT_EQ(TextOf(view_), text);
    PostMessageW(help_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(help_); })) << "the close box hides it";
    EXPECT_TRUE(IsWindow(help_));
    EXPECT_TRUE(quorvex_.Running());
    EXPECT_EQ(quorvex_.Quit(), 0u);
}

TEST(EntryPoint, AnUnknownArgumentIsRefusedInAMessageBoxWithCaptionAndIcon)
{
    TQuorvexProcess quorvex(L"--window main");
    ASSERT_TRUE(quorvex.Started());
    const HWND box = quorvex.WaitForWindow(L"Quorvex", L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageTextOf(box).rfind("Usage: quorvex.exe [--window help|edit | --update-check [silent]]", 0), 0u) << MessageTextOf(box);
    ASSERT_NE(IconOf(box), nullptr) << "no icon control";
    EXPECT_NE(SendMessageW(IconOf(box), STM_GETICON, 0, 0), 0) << "an icon is shown";

    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(quorvex.ExitCode(), 2u) << "a usage error";
}

}  // namespace
}  // namespace quorvex::win32
