// TVelkAppUpdateDownloadBox: the window in which a newer installer is
// downloaded, with its file name, speed, times, amount and progress, and the
// download itself: the target, the size request, the transfer, the checksum
// and the start of the installer.
#pragma once

#include "forms/UpdateDownloadForm.h"
#include "update/Checksums.h"
#include "update/DownloadTarget.h"
#include "update/FileSize.h"
#include "update/PrivateSink.h"
#include "ui/qt/update/UpdateSeams.h"

#include <QDialog>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace Ui {
class TVelkAppUpdateDownloadBox;
}

namespace quorvex {

class THttpCli;

// How a downloaded installer is verified before it is started.
struct TInstallerCheck {
    THashType HashType = THashType::None;
    QString ExpectedChecksum;
    QString PublicKey;  // base64; empty when no signature is asked for
    QString Signature;  // base64, from the update information
};

class TVelkAppUpdateDownloadBox : public QDialog {
    Q_OBJECT
public:
    using TClock = std::chrono::steady_clock;

    explicit TVelkAppUpdateDownloadBox(TUpdateSeams& seams, QWidget* parent = nullptr);
    ~TVelkAppUpdateDownloadBox() override;

    // Downloads url into a new private file beside its target (the download
    // folder and the URL's file name), shows this window while the transfer
    // runs, verifies the checksum and the publisher's signature as check
    // asks, and only then renames the file to its target (replacing what was
    // there) and starts the installer while the application closes. The
    // folder is opened once, never through a link, and the file is written
    // and renamed in that very folder. Every other outcome deletes the new
    // file and leaves the target as it was. A folder that is not private, a
    // file that cannot be created, written or renamed, and a folder replaced
    // while the file was saved in it raise their errors here.
    void Download(const QString& url, const TSpecialFolders& folders, const TInstallerCheck& check);

    // Handlers.
    void HttpCli1DocData();
    void Timer1Timer();
    void CancelButtonClick();

    QLabel* FileLabel;
    QLabel* SpeedLabel;
    QLabel* StatusLabel;
    QLabel* ElapsedTimeLabel;
    QLabel* RemainingTimeLabel;
    QLabel* TransferLabel;
    QProgressBar* ProgressBar1;
    QPushButton* CancelButton;
    std::unique_ptr<THttpCli> HttpCli1;
    QTimer* Timer1;

    TVelkAppUpdateFileSizeUnit FileSizeUnit = TVelkAppUpdateFileSizeUnit::Auto;
    // The clock of the speed and times; tests set their own.
    std::function<TClock::time_point()> Now = &TClock::now;
    TClock::time_point StartTime;

protected:
    // While the transfer runs, closing the window (Escape, the close box)
    // asks the cancel question instead.
    void reject() override;

private:
    bool CreateTarget(const QString& url, const TSpecialFolders& folders);
    void RequestSize();
    bool Transfer();
    bool EndTransfer(bool success);
    bool Verify(const TInstallerCheck& check);
    void ShowError(const QString& message);
    void StartInstaller();
    void ShowTransferred(std::int64_t bytes);
    bool Transferring() const;
    TUpdateDownloadForm Form() const;

    TUpdateSeams& seams_;
    std::unique_ptr<Ui::TVelkAppUpdateDownloadBox> ui_;
    std::optional<TFolderHandle> folder_;  // the download folder, held open while the file is saved in it
    QString fileName_;
    QString target_;
    std::unique_ptr<TPrivateSink> sink_;  // the download, until it is renamed to target_
    std::int64_t maximum_ = 0;
};

}  // namespace quorvex
