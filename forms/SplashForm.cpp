#include "forms/SplashForm.h"

namespace quorvex {
namespace {

// Hides the splash and ends the check when it goes, also on an error.
class TCheckEnd {
public:
    TCheckEnd(ISplashView& view, bool& running) : view_(view), running_(running) { running_ = true; }
    ~TCheckEnd()
    {
        view_.Hide();
        running_ = false;
    }
    TCheckEnd(const TCheckEnd&) = delete;
    TCheckEnd& operator=(const TCheckEnd&) = delete;

private:
    ISplashView& view_;
    bool& running_;
};

}  // namespace

bool TSplashForm::RunCheck(const std::function<void()>& check)
{
    if (checkRunning_)
        return false;
    const TCheckEnd end(view_, checkRunning_);
    if (!view_.Visible())
        view_.ShowNow();
    check();
    return true;
}

}  // namespace quorvex
