// The program's event pump (platform/EventPump.h) on the Win32 message loop:
// the windowed program installs it, so that a synchronous HTTP request keeps
// the windows painting, the timers firing and the buttons working while it
// waits, also inside a modal loop (a message box) that runs meanwhile.
#pragma once

#include "platform/EventPump.h"

#include <windows.h>

#include <deque>
#include <functional>

namespace quorvex::win32 {

class TWin32EventPump final : public TEventPump {
public:
    // Installs itself for its lifetime; the pump installed before comes back
    // when it is destroyed. Throws Error when its message window cannot be made.
    TWin32EventPump();
    ~TWin32EventPump() override;
    TWin32EventPump(const TWin32EventPump&) = delete;
    TWin32EventPump& operator=(const TWin32EventPump&) = delete;

    // Dispatches the messages waiting; false once WM_QUIT has come (it is
    // left in the queue for the program's loop).
    bool ServeOnce() override;
    void Post(std::function<void()> action) override;
    void StartServing(std::function<void()> serve) override;
    void StopServing() override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunPosted();

    TEventPump* previous_;
    HWND window_ = nullptr;  // message-only: posted actions and the serving timer
    std::deque<std::function<void()>> posted_;
    std::function<void()> serve_;
    bool quitting_ = false;
};

}  // namespace quorvex::win32
