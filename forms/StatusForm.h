// The status window: the progress and the result lines of an apply. The
// workflows write to it as their status log.
#pragma once

#include "workflows/WorkflowHost.h"

#include <functional>
#include <string>

namespace quorvex {

class IStatusView {
public:
    virtual ~IStatusView() = default;
    // Shows the window without blocking and brings it to the front; a window
    // not shown before answers with WindowShown.
    virtual void ShowInFront() = 0;
    // Closes the window; it answers with WindowClosing.
    virtual void CloseWindow() = 0;
    virtual void WriteLine(const std::string& line) = 0;
    virtual void ClearLines() = 0;
    virtual void DrawStatusText(const std::string& text) = 0;
    // Normal: the moving bar; Paused: the bar stopped, filled.
    virtual void DrawProgress(TProgressState state) = 0;
    virtual void DrawCloseEnabled(bool enabled) = 0;
    // The "Load Yahoo Messenger after closing this window." box.
    virtual bool OpenMessengerTicked() const = 0;
    // Starts a program through the shell, hidden; a failure goes to the
    // application error report.
    virtual void OpenHidden(const std::string& target) = 0;
};

class TStatusForm final : public IStatusLog {
public:
    static constexpr char kWorking[] = "Applying selected Options ...";

    // messengerFolder gives the text of the Adverts tab's folder field, from
    // which the messenger starts when the window closes with its box ticked.
    TStatusForm(IStatusView& view, std::function<std::string()> messengerFolder)
        : view_(view), messengerFolder_(std::move(messengerFolder))
    {
    }

    // The status log.
    void Show() override { view_.ShowInFront(); }
    void AppendLine(const std::string& line) override { view_.WriteLine(line); }
    void SetStatusText(const std::string& text) override { view_.DrawStatusText(text); }
    void SetProgressState(TProgressState state) override;
    void EnableClose(bool enabled) override { view_.DrawCloseEnabled(enabled); }
    void Close() override { view_.CloseWindow(); }

    TProgressState ProgressState() const { return progressState_; }

    // The window has been shown anew (not back from the minimised state):
    // the label and the bar start over, the lines stay.
    void WindowShown();
    // The window closes (its button or its close box): the messenger starts
    // when the box is ticked, and the lines go.
    void WindowClosing();

private:
    IStatusView& view_;
    std::function<std::string()> messengerFolder_;
    TProgressState progressState_ = TProgressState::Normal;
};

}  // namespace quorvex
