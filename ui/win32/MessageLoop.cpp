#include "ui/win32/MessageLoop.h"

#include "platform/Error.h"
#include "platform/win32/Win32Text.h"
#include "ui/win32/Window.h"

#include <windows.h>

namespace quorvex::win32 {
namespace {

// True when the message was a key that a TWindow took itself or a dialog
// key of a TWindow, and has been handled.
bool HandleDialogKey(MSG& message)
{
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root == nullptr || TWindow::Of(root) == nullptr)
        return false;
    if (message.message == WM_KEYDOWN && SendMessageW(root, kWindowKeyMessage, message.wParam, message.lParam) != 0)
        return true;
    return IsDialogMessageW(root, &message) != FALSE;
}

}  // namespace

void DispatchWithDialogKeys(MSG& message)
{
    if (!HandleDialogKey(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void RunModalLoop(const std::function<bool()>& done)
{
    MSG message{};
    while (!done()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got == -1)
            throw Error("The message loop failed: " + Win32ErrorText(GetLastError()));
        DispatchWithDialogKeys(message);
    }
}

int RunMessageLoop()
{
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(message.wParam);
        if (got == -1)
            throw Error("The message loop failed: " + Win32ErrorText(GetLastError()));
        DispatchWithDialogKeys(message);
    }
}

}  // namespace quorvex::win32
