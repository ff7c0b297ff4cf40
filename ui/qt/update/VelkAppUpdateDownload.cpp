#include "ui/qt/update/VelkAppUpdateDownload.h"

#include "http/HttpCli.h"
#include "update/UpdateHttp.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui_VelkAppUpdateDownload.h"

#include <QLocale>
#include <QTimer>

namespace quorvex {

namespace {

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

TVelkAppUpdateDownloadBox::TVelkAppUpdateDownloadBox(TUpdateSeams& seams, QWidget* parent)
    : QDialog(parent, UpdateDialogFlags()),
      HttpCli1(std::make_unique<THttpCli>()),
      Timer1(new QTimer(this)),
      ui_(std::make_unique<Ui::TVelkAppUpdateDownloadBox>()),
      flow_(*this, *HttpCli1, seams)
{
    ui_->setupUi(this);
    FileLabel = ui_->FileLabel;
    SpeedLabel = ui_->SpeedLabel;
    StatusLabel = ui_->StatusLabel;
    ElapsedTimeLabel = ui_->ElapsedTimeLabel;
    RemainingTimeLabel = ui_->RemainingTimeLabel;
    TransferLabel = ui_->TransferLabel;
    ProgressBar1 = ui_->ProgressBar1;
    CancelButton = ui_->CancelButton;
    DesignFont(QStringLiteral("Segoe UI"), 15).ApplyTo(*this);
    FixAndCentre(*this);
    ConfigureUpdateClient(*HttpCli1);
    flow_.ThousandsSeparator = QLocale().groupSeparator().toStdString();
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TVelkAppUpdateDownloadBox::Timer1Timer);
    connect(CancelButton, &QPushButton::clicked, this, &TVelkAppUpdateDownloadBox::CancelButtonClick);
}

TVelkAppUpdateDownloadBox::~TVelkAppUpdateDownloadBox() = default;

void TVelkAppUpdateDownloadBox::Download(const QString& url, const TSpecialFolders& folders,
                                         const TInstallerCheck& check)
{
    flow_.Download(url.toStdString(), folders, check);
}

void TVelkAppUpdateDownloadBox::Timer1Timer()
{
    flow_.TimerTick();
}

void TVelkAppUpdateDownloadBox::CancelButtonClick()
{
    flow_.CancelClick();
}

void TVelkAppUpdateDownloadBox::reject()
{
    if (flow_.CloseRequested())
        QDialog::reject();
}

void TVelkAppUpdateDownloadBox::SetFileText(const std::string& text)
{
    FileLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetStatusText(const std::string& text)
{
    StatusLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetTransferText(const std::string& text)
{
    TransferLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetSpeedText(const std::string& text)
{
    SpeedLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetElapsedText(const std::string& text)
{
    ElapsedTimeLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetRemainingText(const std::string& text)
{
    RemainingTimeLabel->setText(Text(text));
}

void TVelkAppUpdateDownloadBox::SetProgressMaximum(std::int64_t maximum)
{
    ProgressBar1->setRange(0, static_cast<int>(maximum));
}

void TVelkAppUpdateDownloadBox::SetProgress(std::int64_t position)
{
    ProgressBar1->setValue(static_cast<int>(position));
}

void TVelkAppUpdateDownloadBox::SetCancelEnabled(bool enabled)
{
    CancelButton->setEnabled(enabled);
}

bool TVelkAppUpdateDownloadBox::CancelEnabled() const
{
    return CancelButton->isEnabled();
}

void TVelkAppUpdateDownloadBox::StartTimer()
{
    Timer1->start();
}

void TVelkAppUpdateDownloadBox::StopTimer()
{
    Timer1->stop();
}

void TVelkAppUpdateDownloadBox::ShowWindow()
{
    show();
}

}  // namespace quorvex
