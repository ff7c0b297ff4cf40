// TVelkAppUpdateDownloadBox: the window in which a newer installer is
// downloaded, with its file name, speed, times, amount and progress. It
// draws the download flow (forms/UpdateDownloadFlow.h) and forwards its
// events to it.
#pragma once

#include "forms/UpdateDownloadFlow.h"
#include "update/FileSize.h"
#include "ui/qt/update/UpdateSeams.h"

#include <QDialog>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace Ui {
class TVelkAppUpdateDownloadBox;
}

namespace quorvex {

class THttpCli;

class TVelkAppUpdateDownloadBox : public QDialog, private IUpdateDownloadView {
    Q_OBJECT
public:
    using TClock = TUpdateDownloadFlow::TClock;

    explicit TVelkAppUpdateDownloadBox(TUpdateSeams& seams, QWidget* parent = nullptr);
    ~TVelkAppUpdateDownloadBox() override;

    // The download (TUpdateDownloadFlow::Download).
    void Download(const QString& url, const TSpecialFolders& folders, const TInstallerCheck& check);

    // Handlers.
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

private:
    std::unique_ptr<Ui::TVelkAppUpdateDownloadBox> ui_;
    TUpdateDownloadFlow flow_;

public:
    // The flow's unit and clock (tests set their own).
    TVelkAppUpdateFileSizeUnit& FileSizeUnit = flow_.FileSizeUnit;
    std::function<TClock::time_point()>& Now = flow_.Now;
    TClock::time_point& StartTime = flow_.StartTime;

protected:
    // While the transfer runs, closing the window (Escape, the close box)
    // asks the cancel question instead.
    void reject() override;

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
};

}  // namespace quorvex
