// quorvex.exe's windows, worked from another process by the ids of their
// controls and read as a person sees them, on a real display (Wine's X11
// driver on Xvfb: the Win32WindowsOnDisplay tests).
//
//   win32_window_tests.exe <path of quorvex.exe> [DPI of the display, default 96]
#include "platform/Text.h"
#include "ui/win32/ControlIds.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace quorvex::win32 {
namespace {

std::wstring gQuorvex;
UINT gDpi = 96;

int Scaled(int designPixels)
{
    return MulDiv(designPixels, static_cast<int>(gDpi), 96);
}

// Waits up to ten seconds for the condition.
template <typename Condition>
bool WaitFor(Condition condition)
{
    for (int waited = 0; waited < 10000; waited += 20) {
        if (condition())
            return true;
        Sleep(20);
    }
    return condition();
}

// quorvex.exe started with the arguments; ended through WM_QUIT if it still runs.
class TQuorvexProcess {
public:
    explicit TQuorvexProcess(const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + gQuorvex + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessW(gQuorvex.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_) != FALSE;
    }
    ~TQuorvexProcess()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            PostThreadMessageW(process_.dwThreadId, WM_QUIT, 0, 0);
            if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 99);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    bool Started() const { return started_; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The process's visible top-level window of that title (and class, if
    // given), or nullptr after ten seconds.
    HWND WaitForWindow(const wchar_t* title, const wchar_t* className = nullptr) const
    {
        HWND found = nullptr;
        WaitFor([&] {
            found = FindWindowW(className, title);
            DWORD owner = 0;
            if (found != nullptr)
                GetWindowThreadProcessId(found, &owner);
            return found != nullptr && owner == process_.dwProcessId && IsWindowVisible(found);
        });
        return found != nullptr && IsWindowVisible(found) ? found : nullptr;
    }

    // Ends the process as its message loop ends; its exit code.
    DWORD Quit()
    {
        PostThreadMessageW(process_.dwThreadId, WM_QUIT, 0, 0);
        return ExitCode();
    }

    // The exit code once the process has ended, within ten seconds.
    DWORD ExitCode() const
    {
        DWORD code = 99;
        if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// The window's class name in capitals: class names compare without regard to case.
std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    CharUpperW(name);
    return name;
}

// A control's text through WM_GETTEXT, which the system carries across
// processes (GetWindowText does not ask another process's controls).
std::string TextOf(HWND control)
{
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    const auto got = SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return Utf16ToUtf8(text);
}

// The rectangle's bounds in the window's client coordinates.
RECT InClient(HWND window, RECT screen)
{
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The screen's pixels inside the rectangle (screen coordinates), top row first.
std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bgra(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (const DWORD p : bgra)
        pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return pixels;
}

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

// The message box's icon control: a static control showing an icon (its id
// differs between Windows and Wine).
HWND IconOf(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            if (ClassOf(child) == L"STATIC" && (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&icon));
    return icon;
}

// The message box's text: its static control with the text (id 0xFFFF).
std::string MessageTextOf(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

TEST(EntryPoint, AnUnknownArgumentIsRefusedInAMessageBoxWithCaptionAndIcon)
{
    TQuorvexProcess quorvex(L"--window main");
    ASSERT_TRUE(quorvex.Started());
    const HWND box = quorvex.WaitForWindow(L"Quorvex", L"#32770");
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageTextOf(box).rfind("Usage: quorvex.exe --window help", 0), 0u) << MessageTextOf(box);
    ASSERT_NE(IconOf(box), nullptr) << "no icon control";
    EXPECT_NE(SendMessageW(IconOf(box), STM_GETICON, 0, 0), 0) << "an icon is shown";

    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(quorvex.ExitCode(), 2u) << "a usage error";
}

}  // namespace
}  // namespace quorvex::win32

int wmain(int argc, wchar_t** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: win32_window_tests <quorvex.exe> [DPI]\n");
        return 2;
    }
    quorvex::win32::gQuorvex = argv[1];
    if (argc == 3)
        quorvex::win32::gDpi = static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10));
    // Sizes read from quorvex.exe's windows in real pixels, not scaled for this program.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    return RUN_ALL_TESTS();
}
