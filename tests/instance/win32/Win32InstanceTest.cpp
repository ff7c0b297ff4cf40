// The single-instance guard's Windows backend, under Wine's null graphics
// driver: the named mutex has one holder at a time, and a later start finds
// the holder's window by its title in another process and restores it.
//
// Started as "instance_win32_tests --minimised-window TITLE", the program is
// that other process: it shows a minimised window with the title until the
// window is closed, or at most a minute.
#include "instance/mxOneInstance.h"
#include "platform/win32/Win32Instance.h"
#include "platform/win32/Win32Text.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace quorvex::test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kWindowClass[] = L"QuorvexInstanceTestWindow";
constexpr UINT_PTR kLifetimeTimer = 1;
constexpr UINT kLifetimeMs = 60000;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kLifetimeTimer)
        ::DestroyWindow(window);
    if (message == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(const std::wstring& title)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
}

int ShowMinimisedWindow(const std::wstring& title)
{
    const HWND window = MakeWindow(title);
    if (window == nullptr)
        return 1;
    ::ShowWindow(window, SW_SHOWMINNOACTIVE);
    ::SetTimer(window, kLifetimeTimer, kLifetimeMs, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&message);
    return 0;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds bound = 10s)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// This program started again to show a minimised window titled title; closed
// and waited for when the object goes.
class TWindowProcess {
public:
    explicit TWindowProcess(const std::wstring& title)
    {
        wchar_t program[MAX_PATH];
        ::GetModuleFileNameW(nullptr, program, MAX_PATH);
        std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --minimised-window \"" + title + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process_)) {
            ::CloseHandle(process_.hThread);
            WaitFor([&] { return (window_ = ::FindWindowW(kWindowClass, title.c_str())) != nullptr; });
        }
    }
    ~TWindowProcess()
    {
        if (process_.hProcess == nullptr)
            return;
        if (window_ != nullptr)
            ::PostMessageW(window_, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(process_.hProcess, 1);
        ::CloseHandle(process_.hProcess);
    }
    TWindowProcess(const TWindowProcess&) = delete;
    TWindowProcess& operator=(const TWindowProcess&) = delete;

    HWND Window() const { return window_; }

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

TEST(Win32Instance, TheMutexHasOneHolderAtATimeAndIsFreeOnceEveryHandleIsClosed)
{
    const std::string name = "Quorvex test " + UniqueSuffix();
    auto first = std::make_unique<TWin32Instance>();
    EXPECT_TRUE(first->Claim(name));
    auto second = std::make_unique<TWin32Instance>();
    EXPECT_FALSE(second->Claim(name));
    EXPECT_EQ(first->TakeComeForwardRequests(), 0) << "the system brings the window forward itself";

    first.reset();
    EXPECT_FALSE(TWin32Instance().Claim(name)) << "the second start's handle keeps the name";
    second.reset();
    EXPECT_TRUE(TWin32Instance().Claim(name));
}

TEST(Win32Instance, ANameHeldByAnObjectOfAnotherKindCountsAsAnotherInstance)
{
    const std::string name = "Quorvex test " + UniqueSuffix();
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, WideText(name).c_str());
    ASSERT_NE(event, nullptr);
    EXPECT_FALSE(TWin32Instance().Claim(name));
    ::CloseHandle(event);
}

// The window through the rule, as the program's later start goes: this
// process has a window of the same title too (as the new instance's own main
// window does), which is left alone.
TEST(Win32Instance, ALaterStartRestoresTheMinimisedWindowOfTheHolder)
{
    const std::string title = "Quorvex test " + UniqueSuffix();
    const TWindowProcess holder(WideText(title));
    ASSERT_NE(holder.Window(), nullptr) << "windows need Wine's null graphics driver without a display";
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(holder.Window()) != FALSE; }));
    TWin32Instance holderName;
    ASSERT_TRUE(holderName.Claim(title));
    const HWND own = MakeWindow(WideText(title));
    ASSERT_NE(own, nullptr);

    struct TNoWindow final : TInstanceWindow {
        void RestoreOrBringToFront() override { ADD_FAILURE() << "the system brings the holder's window forward"; }
    } window;
    TmxOneInstance later(std::make_unique<TWin32Instance>());
    later.Loaded(title, window);

    EXPECT_TRUE(later.InstanceExisted());
    EXPECT_TRUE(later.TerminateRequested());
    EXPECT_TRUE(WaitFor([&] { return ::IsIconic(holder.Window()) == FALSE; })) << "not restored";
    EXPECT_TRUE(::IsWindowVisible(holder.Window()));
    EXPECT_FALSE(::IsWindowVisible(own)) << "this process's window is not the holder's";
    later.ServeRequests();
    ::DestroyWindow(own);
}

TEST(Win32Instance, WithoutAWindowOfTheTitleNothingIsBroughtForward)
{
    const std::string title = "Quorvex test " + UniqueSuffix();
    const TWindowProcess other(L"Another title " + WideText(UniqueSuffix()));
    ASSERT_NE(other.Window(), nullptr);
    TWin32Instance guard;
    guard.AskHolderToComeForward(title);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(::IsIconic(other.Window()));
}

}  // namespace
}  // namespace quorvex::test

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"--minimised-window")
        return quorvex::test::ShowMinimisedWindow(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
