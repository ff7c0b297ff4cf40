// TVelkAppUpdateNotifyBox on Windows: the window that announces a newer
// version, with its release notes, the update web page and the download of
// the installer. It draws the notification flow (forms/UpdateCheckFlow.h)
// and forwards its buttons to it.
#pragma once

#include "forms/UpdateCheckFlow.h"
#include "ui/win32/Window.h"

namespace quorvex::win32 {

class TVelkAppUpdateNotifyBox : public TWindow, private IUpdateNotifyView {
public:
    // Made hidden, above owner (nullptr: none). Throws Error when the window
    // cannot be made.
    TVelkAppUpdateNotifyBox(TUpdateSeams& seams, HWND owner);

    TUpdateNotifyFlow& Flow() { return flow_; }

    // Shows the window and returns once it is closed; its owner takes no
    // input meanwhile.
    void ShowModal();

protected:
    void Close() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // IUpdateNotifyView.
    void SetReadmeLines(const std::vector<std::string>& lines) override;
    void SetDownloadEnabled(bool enabled) override;
    void RunDownload(const TDownloadRequest& request) override;
    void CloseWindow() override;

    TUpdateSeams& seams_;
    HWND owner_;
    TUpdateNotifyFlow flow_;
    bool closed_ = false;
};

}  // namespace quorvex::win32
