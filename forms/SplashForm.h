// The update splash: up while an update check runs, the start-up one included.
#pragma once

#include <functional>

namespace quorvex {

class ISplashView {
public:
    virtual ~ISplashView() = default;
    virtual bool Visible() const = 0;
    // Shows the splash and paints it at once, before any event loop runs.
    virtual void ShowNow() = 0;
    virtual void Hide() = 0;
};

class TSplashForm {
public:
    explicit TSplashForm(ISplashView& view) : view_(view) {}

    // Runs an update check with the splash up (shown here unless it is up
    // already) and hides it after, also when the check raises an error,
    // which goes on to the caller. A check asked for while one runs (its
    // requests keep the event loop going) is not run: false.
    bool RunCheck(const std::function<void()>& check);
    bool CheckRunning() const { return checkRunning_; }

private:
    ISplashView& view_;
    bool checkRunning_ = false;
};

}  // namespace quorvex
