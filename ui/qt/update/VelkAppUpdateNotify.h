// TVelkAppUpdateNotifyBox: the window that announces a newer version, with
// its release notes, the update web page and the download of the installer.
// It draws the notification flow (forms/UpdateCheckFlow.h) and forwards its
// buttons to it.
#pragma once

#include "forms/UpdateCheckFlow.h"
#include "ui/qt/update/UpdateSeams.h"
#include "ui/qt/update/WindowFont.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QPlainTextEdit;
class QPushButton;

namespace Ui {
class TVelkAppUpdateNotifyBox;
}

namespace quorvex {

class TVelkAppUpdateNotifyBox : public QDialog, private IUpdateNotifyView {
    Q_OBJECT
public:
    explicit TVelkAppUpdateNotifyBox(TUpdateSeams& seams, QWidget* parent = nullptr);
    ~TVelkAppUpdateNotifyBox() override;

    // The window's font (also the download window's) and its readme area's.
    void SetWindowFont(const TWindowFont& font);
    void SetReadmeFont(const TWindowFont& font);

    QStringList ReadmeLines() const;

    // The window's rules and the update information it shows.
    TUpdateNotifyFlow& Flow() { return flow_; }

    // Handlers of the buttons.
    void DownloadButtonClick();
    void OpenWebPageButtonClick();

    QPlainTextEdit* ReadmeMemo;
    QPushButton* DownloadButton;
    QPushButton* OpenWebPageButton;
    QPushButton* OKButton;

private:
    // IUpdateNotifyView.
    void SetReadmeLines(const std::vector<std::string>& lines) override;
    void SetDownloadEnabled(bool enabled) override;
    void RunDownload(const TDownloadRequest& request) override;
    void CloseWindow() override;

    TUpdateSeams& seams_;
    std::unique_ptr<Ui::TVelkAppUpdateNotifyBox> ui_;
    TWindowFont windowFont_;
    TUpdateNotifyFlow flow_;
};

}  // namespace quorvex
