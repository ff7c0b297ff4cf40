// The update check with its windows, without a toolkit: which window a
// check ends in, the messages when there is no newer version, the silent
// form's deadline, and the notification window's buttons (the update page,
// the download). Each program's notification window draws it through
// IUpdateNotifyView and forwards its buttons. Texts are UTF-8.
#pragma once

#include "forms/UpdateDownloadFlow.h"
#include "forms/UpdateSeams.h"
#include "update/UpdateCheck.h"
#include "update/UpdateInformation.h"
#include "update/UpdateSettings.h"

#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace quorvex {

// A download as the notification window hands it to its download window.
struct TDownloadRequest {
    std::string URL;
    TInstallerCheck Check;
    TVelkAppUpdateFileSizeUnit FileSizeUnit = TVelkAppUpdateFileSizeUnit::Auto;
    std::string Proxy;
    std::string ProxyPort;
};

// The notification window as the flow draws it.
class IUpdateNotifyView {
public:
    virtual ~IUpdateNotifyView() = default;
    virtual void SetReadmeLines(const std::vector<std::string>& lines) = 0;
    virtual void SetDownloadEnabled(bool enabled) = 0;
    // Makes the download window (hidden, in this window's font) and runs
    // request in it with a TUpdateDownloadFlow; returns once it has ended.
    virtual void RunDownload(const TDownloadRequest& request) = 0;
    // Closes the window (a modal display ends once the running handler returns).
    virtual void CloseWindow() = 0;
};

class TUpdateNotifyFlow {
public:
    TUpdateNotifyFlow(IUpdateNotifyView& view, TUpdateSeams& seams);

    // Fills the window from a check's result and the checker's settings:
    // the readme's lines and whether the installer can be downloaded.
    void Fill(const TUpdateCheckResult& result, const TUpdateSettings& settings);

    // Handlers of the buttons. An error of the download ends it and closes
    // the window; it is kept for RaiseDownloadError, so that it never
    // unwinds through a toolkit's event delivery.
    void DownloadClick();
    void OpenWebPageClick();
    // Raises the error that ended the download, if one did.
    void RaiseDownloadError() const;

    const TUpdateInformation& Information() const { return information_; }
    // The download that the Download button starts.
    TDownloadRequest Request() const;

private:
    IUpdateNotifyView& view_;
    TUpdateSeams& seams_;
    TUpdateInformation information_;
    TUpdateSettings settings_;
    std::exception_ptr downloadError_;
};

// The time a silent check may take before the versions are compared.
inline constexpr std::chrono::seconds kSilentCheckTime{5};

// Runs one check with settings and the update section given, and returns
// true when a newer version was announced: showNotification then makes the
// notification window (filled with TUpdateNotifyFlow::Fill) and shows it
// modally until it is closed. Otherwise the check says there is no newer
// version, or asks whether to open the update page, unless NoMessageDlg;
// NoMessageDlg also bounds the check by kSilentCheckTime (seams.Deadline),
// after which it ends without a word. Errors other than the HTTP client's
// (a temporary file or download target that cannot be created or written,
// an update file or readme above its size limit) leave here.
bool ExecuteUpdateCheckFlow(const TUpdateSettings& settings, const std::string& section, bool NoMessageDlg,
                            TUpdateSeams& seams,
                            const std::function<void(const TUpdateCheckResult& result)>& showNotification);

}  // namespace quorvex
