// TVelkAppUpdateDownloadBox: the window in which a newer installer is
// downloaded, with its file name, speed, times, amount and progress, and the
// download itself: the target, the size request, the transfer, the checksum
// and the start of the installer.
#pragma once

#include "update/Checksums.h"
#include "update/DownloadTarget.h"
#include "update/FileSize.h"
#include "update/UpdateSeams.h"

#include <QDialog>
#include <QFile>

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

// What the one-second timer shows, from the bytes received and expected and
// the whole seconds since the transfer started.
struct TTransferTimes {
    std::int64_t BytesPerSecond;  // 0 within the first second
    std::int64_t ElapsedSeconds;
    std::optional<std::int64_t> RemainingSeconds;  // none before any byte arrived
};
TTransferTimes TransferTimes(std::int64_t received, std::int64_t expected, std::int64_t seconds);

// Seconds as "hh:nn:ss"; the hours wrap at 24.
QString LongTimeText(std::int64_t seconds);

class TVelkAppUpdateDownloadBox : public QDialog {
    Q_OBJECT
public:
    using TClock = std::chrono::steady_clock;

    explicit TVelkAppUpdateDownloadBox(TUpdateSeams& seams, QWidget* parent = nullptr);
    ~TVelkAppUpdateDownloadBox() override;

    // Downloads url into the download folder under its URL file name, shows
    // this window while the transfer runs, verifies the checksum when hashType
    // asks for one, and on success starts the installer while the application
    // closes. Every other outcome deletes the target. An error creating the
    // target leaves here.
    void Download(const QString& url, const TSpecialFolders& folders, THashType hashType,
                  const QString& expectedChecksum);

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
    THttpCli* HttpCli1;
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
    bool Verify(THashType hashType, const QString& expectedChecksum);
    void StartInstaller();
    void ShowTransferred(std::int64_t bytes);
    bool Transferring() const;

    TUpdateSeams& seams_;
    std::unique_ptr<Ui::TVelkAppUpdateDownloadBox> ui_;
    QFile target_;
    std::int64_t maximum_ = 0;
};

}  // namespace quorvex
