// The messenger running check: a top-level window of the messenger's main
// window class, made here by the test, whatever its title.
#include "platform/win32/Win32MessengerProbe.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace quorvex::test {
namespace {

// Registers a window class and makes one hidden top-level window of it.
class TTopLevelWindow {
public:
    TTopLevelWindow(const wchar_t* className, const wchar_t* title) : className_(className)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        ::RegisterClassW(&windowClass);
        window_ = ::CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    }
    ~TTopLevelWindow() { Destroy(); }
    TTopLevelWindow(const TTopLevelWindow&) = delete;
    TTopLevelWindow& operator=(const TTopLevelWindow&) = delete;

    bool Made() const { return window_ != nullptr; }
    void Destroy()
    {
        if (window_ != nullptr)
            ::DestroyWindow(window_);
        window_ = nullptr;
        ::UnregisterClassW(className_, ::GetModuleHandleW(nullptr));
    }

private:
    const wchar_t* className_;
    HWND window_ = nullptr;
};

TEST(Win32MessengerProbe, RunsWhileAWindowOfTheMessengersClassExists)
{
    const TWin32MessengerProbe probe;
    EXPECT_FALSE(probe.MessengerRunning());

    TTopLevelWindow messenger(L"YahooBuddyMain", L"Any title at all");
    ASSERT_TRUE(messenger.Made()) << "windows need Wine's null graphics driver without a display";
    EXPECT_TRUE(probe.MessengerRunning());
    messenger.Destroy();
    EXPECT_FALSE(probe.MessengerRunning());
}

TEST(Win32MessengerProbe, AWindowTitledLikeTheClassDoesNotCount)
{
    TTopLevelWindow other(L"QuorvexOtherWindow", L"YahooBuddyMain");
    ASSERT_TRUE(other.Made());
    EXPECT_FALSE(TWin32MessengerProbe().MessengerRunning());
}

}  // namespace
}  // namespace quorvex::test
