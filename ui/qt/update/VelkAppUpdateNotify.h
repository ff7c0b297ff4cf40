// TVelkAppUpdateNotifyBox: the window that announces a newer version, with
// its release notes, the update web page and the download of the installer.
#pragma once

#include "update/Checksums.h"
#include "update/FileSize.h"
#include "update/UpdateInformation.h"
#include "ui/qt/update/UpdateSeams.h"
#include "ui/qt/update/WindowFont.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <memory>

class QPlainTextEdit;
class QPushButton;

namespace Ui {
class TVelkAppUpdateNotifyBox;
}

namespace quorvex {

class THttpCli;

// The update information (DownloadFileURL, ..., EdSignature) is filled by the check.
class TVelkAppUpdateNotifyBox : public QDialog, public TUpdateInformation {
    Q_OBJECT
public:
    explicit TVelkAppUpdateNotifyBox(TUpdateSeams& seams, QWidget* parent = nullptr);
    ~TVelkAppUpdateNotifyBox() override;

    // The window's font (also the download window's) and its readme area's.
    void SetWindowFont(const TWindowFont& font);
    void SetReadmeFont(const TWindowFont& font);

    QStringList ReadmeLines() const;
    void SetReadmeLines(const QStringList& lines);

    QString FormatFileSize(std::int64_t bytes) const;

    // Handlers of the buttons. An error of the download ends it and closes
    // the window; it is kept for RaiseDownloadError, so that it never
    // unwinds through the toolkit's signal delivery.
    void DownloadButtonClick();
    void OpenWebPageButtonClick();
    // Raises the error that ended the download, if one did.
    void RaiseDownloadError() const;

    QPlainTextEdit* ReadmeMemo;
    QPushButton* DownloadButton;
    QPushButton* OpenWebPageButton;
    QPushButton* OKButton;
    std::unique_ptr<THttpCli> HttpCli1;

    // The publisher's public key; empty when installers are not checked.
    QString UpdatePublicKey;
    TVelkAppUpdateFileSizeUnit FileSizeUnit = TVelkAppUpdateFileSizeUnit::Auto;
    THashType HashType = THashType::None;

private:
    QString ExpectedChecksum() const;

    TUpdateSeams& seams_;
    std::unique_ptr<Ui::TVelkAppUpdateNotifyBox> ui_;
    TWindowFont windowFont_;
    std::exception_ptr downloadError_;
};

}  // namespace quorvex
