#include "platform/win32/Win32Instance.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>

namespace quorvex {
namespace {

// The name is copied into a buffer of 256 UTF-16 units, its end included.
constexpr std::size_t kMaxNameLength = 255;

std::wstring InstanceName(const std::string& name)
{
    std::wstring wide = WideText(name);
    wide.resize(std::min(wide.size(), kMaxNameLength));
    return wide;
}

bool OfThisProcess(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

HWND OtherProcessWindowTitled(const std::wstring& title)
{
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, nullptr, title.c_str())) != nullptr) {
        if (!OfThisProcess(window))
            return window;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<TSingleInstanceBackend> SystemSingleInstance()
{
    return std::make_unique<TWin32Instance>();
}

TWin32Instance::~TWin32Instance()
{
    if (mutex_ != nullptr)
        ::CloseHandle(mutex_);
}

bool TWin32Instance::Claim(const std::string& name)
{
    mutex_ = ::CreateMutexW(nullptr, FALSE, InstanceName(name).c_str());
    return mutex_ != nullptr && ::GetLastError() != ERROR_ALREADY_EXISTS;
}

void TWin32Instance::AskHolderToComeForward(const std::string& name)
{
    const HWND window = OtherProcessWindowTitled(InstanceName(name));
    if (window == nullptr)
        return;
    if (::IsIconic(window))
        ::ShowWindowAsync(window, SW_RESTORE);
    else
        ::SetForegroundWindow(window);
}

int TWin32Instance::TakeComeForwardRequests()
{
    return 0;
}

}  // namespace quorvex
