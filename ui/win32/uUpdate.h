// The update splash: a small borderless window, centred, with the
// application's icon and name and "Checking for updates ...", up while an
// update check runs as TSplashForm decides. It carries no title, so that
// nothing takes it for the main window.
#pragma once

#include "forms/SplashForm.h"
#include "ui/win32/Window.h"

namespace quorvex::win32 {

class TfrmUpdate final : public TWindow, public ISplashView {
public:
    // Throws Error when the window cannot be made.
    TfrmUpdate();
    ~TfrmUpdate() override;

    bool Visible() const override { return IsWindowVisible(Handle()) != FALSE; }
    // Shows the splash and paints it at once, before any message loop runs.
    void ShowNow() override;
    void Hide() override { TWindow::Hide(); }

protected:
    void DpiChanged() override;

private:
    HWND icon_;
    HWND name_;
    HFONT nameFont_ = nullptr;
    HICON iconImage_ = nullptr;
};

}  // namespace quorvex::win32
