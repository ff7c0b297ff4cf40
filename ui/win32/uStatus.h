// The status window: the progress and the result lines of an apply. Its
// rules are TStatusForm's; it draws them. Closing it (its button, the close
// box, Escape) runs the close behaviour and hides it.
#pragma once

// The common controls' header has a macro of this name, which would rename
// the view's method.
#include <windows.h>

#include <commctrl.h>
#undef DrawStatusText

#include "forms/StatusForm.h"
#include "ui/win32/Window.h"

#include <functional>
#include <string>

namespace quorvex::win32 {

class TfrmStatus final : public TWindow, private IStatusView {
public:
    // messengerFolder gives the text of the Adverts tab's folder field, from
    // which the messenger starts when the window closes with cbOpenYM ticked;
    // reportError shows the application error report. Throws Error when the
    // window cannot be made.
    TfrmStatus(std::function<std::string()> messengerFolder, std::function<void(const std::string&)> reportError);

    // The window as the workflows' status log.
    TStatusForm& Form() { return form_; }

protected:
    void Close() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ShowInFront() override;
    void CloseWindow() override { Close(); }
    void WriteLine(const std::string& line) override;
    void ClearLines() override;
    void DrawStatusText(const std::string& text) override;
    void DrawProgress(TProgressState state) override;
    void DrawCloseEnabled(bool enabled) override;
    bool OpenMessengerTicked() const override;
    void OpenHidden(const std::string& target) override;

    std::function<void(const std::string&)> reportError_;
    TStatusForm form_;
    HWND lbStatus_;
    HWND pbStatus_;
    HWND memStatus_;
    HWND cbOpenYM_;
    HWND btnClose_;
};

}  // namespace quorvex::win32
