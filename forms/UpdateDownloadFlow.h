// The download of a newer installer, without a toolkit: the download
// target in the private folder, the size request, the transfer with its
// progress, speed and times, the cancel question, the checksum and the
// publisher's signature, the deletion of a refused file, and the start of
// the installer while the application closes. Each program's download
// window draws it through IUpdateDownloadView and forwards its events
// (the client's data, the one-second timer, Cancel, closing the window).
// Texts are UTF-8.
#pragma once

#include "forms/UpdateDownloadForm.h"
#include "forms/UpdateSeams.h"
#include "platform/PrivateFolder.h"
#include "platform/SpecialFolders.h"
#include "update/Checksums.h"
#include "update/FileSize.h"
#include "update/PrivateSink.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorvex {

class THttpCli;

// How a downloaded installer is verified before it is started.
struct TInstallerCheck {
    THashType HashType = THashType::None;
    std::string ExpectedChecksum;
    std::string PublicKey;  // base64; empty when no signature is asked for
    std::string Signature;  // base64, from the update information
};

// The download window as the flow draws it.
class IUpdateDownloadView {
public:
    virtual ~IUpdateDownloadView() = default;
    virtual void SetFileText(const std::string& text) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetTransferText(const std::string& text) = 0;
    virtual void SetSpeedText(const std::string& text) = 0;
    virtual void SetElapsedText(const std::string& text) = 0;
    virtual void SetRemainingText(const std::string& text) = 0;
    // The progress bar's range is 0 to maximum.
    virtual void SetProgressMaximum(std::int64_t maximum) = 0;
    virtual void SetProgress(std::int64_t position) = 0;
    virtual void SetCancelEnabled(bool enabled) = 0;
    virtual bool CancelEnabled() const = 0;
    // The one-second timer whose ticks go to TUpdateDownloadFlow::TimerTick.
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    // Shows the window, not modal.
    virtual void ShowWindow() = 0;
};

class TUpdateDownloadFlow {
public:
    using TClock = std::chrono::steady_clock;

    // client is the window's; the flow answers its data event.
    TUpdateDownloadFlow(IUpdateDownloadView& view, THttpCli& client, TUpdateSeams& seams);
    ~TUpdateDownloadFlow();
    TUpdateDownloadFlow(const TUpdateDownloadFlow&) = delete;
    TUpdateDownloadFlow& operator=(const TUpdateDownloadFlow&) = delete;

    // Downloads url into a new private file beside its target (the download
    // folder and the URL's file name), shows the window while the transfer
    // runs, verifies the checksum and the publisher's signature as check
    // asks, and only then renames the file to its target (replacing what was
    // there) and starts the installer while the application closes. The
    // folder is opened once, never through a link, and the file is written
    // and renamed in that very folder. Every other outcome deletes the new
    // file and leaves the target as it was. A folder that is not private, a
    // file that cannot be created, written or renamed, and a folder replaced
    // while the file was saved in it raise their errors here.
    void Download(const std::string& url, const TSpecialFolders& folders, const TInstallerCheck& check);

    // The client's data event: a block has arrived.
    void DocData();
    // Events of the window.
    void TimerTick();
    void CancelClick();
    // Closing the window (Escape, the close box): true when the window may
    // close; while the transfer runs it asks the cancel question instead.
    bool CloseRequested();

    TVelkAppUpdateFileSizeUnit FileSizeUnit = TVelkAppUpdateFileSizeUnit::Auto;
    std::string ThousandsSeparator = ",";
    // The clock of the speed and times; tests set their own.
    std::function<TClock::time_point()> Now = &TClock::now;
    TClock::time_point StartTime;

private:
    bool CreateTarget(const std::string& url, const TSpecialFolders& folders);
    void RequestSize();
    bool Transfer();
    bool EndTransfer(bool success);
    bool Verify(const TInstallerCheck& check);
    void ShowError(const std::string& message);
    void StartInstaller();
    void ShowTransferred(std::int64_t bytes);
    std::int64_t ProgressOf(std::int64_t bytes) const;
    TUpdateDownloadForm Form() const;

    IUpdateDownloadView& view_;
    THttpCli& client_;
    TUpdateSeams& seams_;
    std::optional<TFolderHandle> folder_;  // the download folder, held open while the file is saved in it
    std::string fileName_;
    std::string target_;
    std::unique_ptr<TPrivateSink> sink_;  // the download, until it is renamed to target_
    std::int64_t maximum_ = 0;
};

}  // namespace quorvex
