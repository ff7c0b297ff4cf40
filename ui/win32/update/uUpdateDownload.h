// TVelkAppUpdateDownloadBox on Windows: the window in which a newer
// installer is downloaded, with its file name, speed, times, amount and
// progress, and Cancel. It draws the download flow
// (forms/UpdateDownloadFlow.h) and forwards its events to it.
#pragma once

#include "forms/UpdateCheckFlow.h"
#include "forms/UpdateDownloadFlow.h"
#include "http/HttpCli.h"
#include "ui/win32/Window.h"

namespace quorvex::win32 {

class TVelkAppUpdateDownloadBox : public TWindow, private IUpdateDownloadView {
public:
    // Made hidden, above owner (nullptr: none). Throws Error when the window
    // cannot be made.
    TVelkAppUpdateDownloadBox(TUpdateSeams& seams, HWND owner);

    // Runs the download that the notification window asks for; the window
    // shows while the transfer runs. Errors of the download leave here.
    void Download(const TDownloadRequest& request);

protected:
    // While the transfer runs, closing (Escape, the close box) asks the
    // cancel question instead.
    void Close() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // IUpdateDownloadView.
    void SetFileText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void SetTransferText(const std::string& text) override;
    void SetSpeedText(const std::string& text) override;
    void SetElapsedText(const std::string& text) override;
    void SetRemainingText(const std::string& text) override;
    void SetProgressMaximum(std::int64_t maximum) override;
    void SetProgress(std::int64_t position) override;
    void SetCancelEnabled(bool enabled) override;
    bool CancelEnabled() const override;
    void StartTimer() override;
    void StopTimer() override;
    void ShowWindow() override;

    THttpCli HttpCli1;
    TUpdateDownloadFlow flow_;
    HWND progress_ = nullptr;
    HWND cancel_ = nullptr;
};

}  // namespace quorvex::win32
