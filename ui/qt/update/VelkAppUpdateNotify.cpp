#include "ui/qt/update/VelkAppUpdateNotify.h"

#include "http/HttpCli.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui/qt/update/VelkAppUpdateDownload.h"
#include "ui_VelkAppUpdateNotify.h"

namespace quorvex {

TVelkAppUpdateNotifyBox::TVelkAppUpdateNotifyBox(TUpdateSeams& seams, QWidget* parent)
    : QDialog(parent, UpdateDialogFlags()),
      seams_(seams),
      ui_(std::make_unique<Ui::TVelkAppUpdateNotifyBox>()),
      windowFont_(DesignFont(QStringLiteral("Segoe UI"), 15)),
      flow_(*this, seams)
{
    ui_->setupUi(this);
    ReadmeMemo = ui_->ReadmeMemo;
    DownloadButton = ui_->DownloadButton;
    OpenWebPageButton = ui_->OpenWebPageButton;
    OKButton = ui_->OKButton;
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

void TVelkAppUpdateNotifyBox::SetReadmeLines(const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text.append(QString::fromStdString(line));
    ReadmeMemo->setPlainText(text.join(QLatin1Char('\n')));
}

void TVelkAppUpdateNotifyBox::SetDownloadEnabled(bool enabled)
{
    DownloadButton->setEnabled(enabled);
}

void TVelkAppUpdateNotifyBox::RunDownload(const TDownloadRequest& request)
{
    TVelkAppUpdateDownloadBox download(seams_);
    windowFont_.ApplyTo(download);
    download.FileSizeUnit = request.FileSizeUnit;
    download.HttpCli1->SetProxy(request.Proxy);
    download.HttpCli1->SetProxyPort(request.ProxyPort);
    download.Download(QString::fromStdString(request.URL), SystemSpecialFolders(), request.Check);
}

void TVelkAppUpdateNotifyBox::CloseWindow()
{
    close();
}

void TVelkAppUpdateNotifyBox::DownloadButtonClick()
{
    flow_.DownloadClick();
}

void TVelkAppUpdateNotifyBox::OpenWebPageButtonClick()
{
    flow_.OpenWebPageClick();
}

}  // namespace quorvex
