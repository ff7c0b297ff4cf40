#include "ui/qt/update/VelkAppUpdateNotify.h"

#include "forms/UpdateNotifyForm.h"
#include "http/HttpCli.h"
#include "update/DownloadTarget.h"
#include "update/UpdateHttp.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"
#include "ui_VelkAppUpdateNotify.h"

#include <QScopeGuard>

namespace quorvex {

TVelkAppUpdateNotifyBox::TVelkAppUpdateNotifyBox(TUpdateSeams& seams, QWidget* parent)
    : QDialog(parent, UpdateDialogFlags()),
      HttpCli1(std::make_unique<THttpCli>()),
      seams_(seams),
      ui_(std::make_unique<Ui::TVelkAppUpdateNotifyBox>()),
      windowFont_(DesignFont(QStringLiteral("Segoe UI"), 15))
{
    ui_->setupUi(this);
    ReadmeMemo = ui_->ReadmeMemo;
    DownloadButton = ui_->DownloadButton;
    OpenWebPageButton = ui_->OpenWebPageButton;
    OKButton = ui_->OKButton;
    ConfigureUpdateClient(*HttpCli1);
    SetWindowFont(windowFont_);
    SetReadmeFont(DesignFont(QStringLiteral("Calibri"), 11));
    // The readme area has the colour of the dialog's face.
    QPalette memoPalette = ReadmeMemo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Window));
    ReadmeMemo->setPalette(memoPalette);
    FixAndCentre(*this);
    connect(DownloadButton, &QPushButton::clicked, this, &TVelkAppUpdateNotifyBox::DownloadButtonClick);
    connect(OpenWebPageButton, &QPushButton::clicked, this, &TVelkAppUpdateNotifyBox::OpenWebPageButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TVelkAppUpdateNotifyBox::~TVelkAppUpdateNotifyBox() = default;

void TVelkAppUpdateNotifyBox::SetWindowFont(const TWindowFont& font)
{
    windowFont_ = font;
    font.ApplyTo(*this);
}

void TVelkAppUpdateNotifyBox::SetReadmeFont(const TWindowFont& font)
{
    font.ApplyTo(*ReadmeMemo);
}

QStringList TVelkAppUpdateNotifyBox::ReadmeLines() const
{
    return ReadmeMemo->toPlainText().split(QLatin1Char('\n'));
}

void TVelkAppUpdateNotifyBox::SetReadmeLines(const QStringList& lines)
{
    ReadmeMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

QString TVelkAppUpdateNotifyBox::FormatFileSize(std::int64_t bytes) const
{
    return LocaleFileSize(bytes, FileSizeUnit);
}

// The window closes once the download has ended, however it ended; it stays
// behind the download window until then.
void TVelkAppUpdateNotifyBox::DownloadButtonClick()
{
    const auto closeWhenDone = qScopeGuard([this] { close(); });
    try {
        TVelkAppUpdateDownloadBox download(seams_);
        windowFont_.ApplyTo(download);
        download.FileSizeUnit = FileSizeUnit;
        download.HttpCli1->SetProxy(HttpCli1->Proxy());
        download.HttpCli1->SetProxyPort(HttpCli1->ProxyPort());
        download.Download(QString::fromStdString(DownloadFileURL), SystemSpecialFolders(),
                          {HashType, ExpectedChecksum(), UpdatePublicKey, QString::fromStdString(EdSignature)});
    } catch (...) {
        downloadError_ = std::current_exception();
    }
}

void TVelkAppUpdateNotifyBox::RaiseDownloadError() const
{
    if (downloadError_)
        std::rethrow_exception(downloadError_);
}

void TVelkAppUpdateNotifyBox::OpenWebPageButtonClick()
{
    seams_.Shell->Open(QStringLiteral("open"), QString::fromStdString(UpdatePageURL), SW_SHOWNORMAL);
}

QString TVelkAppUpdateNotifyBox::ExpectedChecksum() const
{
    return QString::fromStdString(TUpdateNotifyForm(*this, std::nullopt).ExpectedChecksum(HashType));
}

}  // namespace quorvex
