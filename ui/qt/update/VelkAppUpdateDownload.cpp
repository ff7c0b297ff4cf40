#include "ui/qt/update/VelkAppUpdateDownload.h"

#include "http/HttpCli.h"
#include "platform/Error.h"
#include "update/InstallerSignature.h"
#include "update/UpdateHttp.h"
#include "ui/qt/update/UpdateWindows.h"
#include "ui_VelkAppUpdateDownload.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

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
      seams_(seams),
      ui_(std::make_unique<Ui::TVelkAppUpdateDownloadBox>())
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
    HttpCli1->OnDocData = [this](THttpCli*, const char*, std::int64_t) { HttpCli1DocData(); };
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TVelkAppUpdateDownloadBox::Timer1Timer);
    connect(CancelButton, &QPushButton::clicked, this, &TVelkAppUpdateDownloadBox::CancelButtonClick);
}

TVelkAppUpdateDownloadBox::~TVelkAppUpdateDownloadBox()
{
    HttpCli1->SetRcvdStream(nullptr);
}

void TVelkAppUpdateDownloadBox::Download(const QString& url, const TSpecialFolders& folders,
                                         const TInstallerCheck& check)
{
    if (!CreateTarget(url, folders))
        return;
    // From here on the new file goes, unless it has become the installer.
    const auto discard = qScopeGuard([this] {
        HttpCli1->SetRcvdStream(nullptr);
        sink_.reset();
    });
    RequestSize();
    if (maximum_ <= 0)
        return;  // nothing to transfer, nothing shown
    // The start is taken first, so that the first tick is a whole second after it.
    StartTime = Now();
    Timer1->start();
    show();
    if (EndTransfer(Transfer()) && Verify(check)) {
        sink_->RenameTo(fileName_.toStdString());
        // The installer starts by its path: that must still lead into the folder it was saved in.
        if (!folder_->StillAtItsPath())
            throw Error("The folder \"" + folder_->Path().string() + "\" was replaced while the update was saved in it.");
        StartInstaller();
    }
}

// The download's new file beside its target, attached to the client; false
// when the URL names no plain file.
bool TVelkAppUpdateDownloadBox::CreateTarget(const QString& url, const TSpecialFolders& folders)
{
    const QString name = QString::fromStdString(URLFileName(url.toStdString()));
    if (!IsPlainFileName(name.toStdString())) {
        ShowError(Text(TUpdateDownloadForm::NotAPlainNameText(name.toStdString())));
        return false;
    }
    const QString folder = QString::fromStdString(DownloadFolder(folders));
    folder_.emplace(TFolderHandle::OpenPrivate(folder.toStdString()));
    fileName_ = name;
    target_ = folder + name;
    sink_ = std::make_unique<TPrivateSink>(TPrivateFile::CreateBeside(*folder_, name.toStdString()));
    HttpCli1->SetURL(url.toStdString());
    FileLabel->setText(name);
    ProgressBar1->setValue(0);
    return true;
}

void TVelkAppUpdateDownloadBox::RequestSize()
{
    StatusLabel->setText(QString::fromLatin1(TUpdateDownloadForm::kGettingFileInformation));
    maximum_ = RemoteFileSize(*HttpCli1);
    ProgressBar1->setRange(0, static_cast<int>(std::max<std::int64_t>(maximum_, 0)));
    ShowTransferred(0);
    CancelButton->setEnabled(true);
    StatusLabel->setText(Text(TUpdateDownloadForm::DownloadingText(HttpCli1->Proxy(), HttpCli1->ProxyPort())));
}

bool TVelkAppUpdateDownloadBox::Transfer()
{
    if (!GetInto(*HttpCli1, *sink_)) {
        StatusLabel->setText(QString::fromStdString(RequestFailureLine(*HttpCli1)));
        return false;
    }
    const std::int64_t size = sink_->Size();
    ShowTransferred(size);
    ProgressBar1->setValue(static_cast<int>(std::clamp<std::int64_t>(size, 0, maximum_)));
    return true;
}

// Stops the transfer's display and detaches the file; a cancelled transfer
// is no success, however much of it arrived.
bool TVelkAppUpdateDownloadBox::EndTransfer(bool success)
{
    if (CancelButton->isEnabled())
        CancelButton->setEnabled(false);
    else
        success = false;
    Timer1->stop();
    ProgressBar1->setValue(ProgressBar1->maximum());
    HttpCli1->SetRcvdStream(nullptr);
    return success;
}

// The checksum rule, then the publisher's signature when a key is set.
bool TVelkAppUpdateDownloadBox::Verify(const TInstallerCheck& check)
{
    const std::unique_ptr<TFileBlocks> file = sink_->ReadBlocks();
    if (check.HashType != THashType::None
        && !ChecksumMatches(*file, check.HashType, check.ExpectedChecksum.toStdString())) {
        ShowError(QString::fromLatin1(TUpdateDownloadForm::kCorrupted));
        return false;
    }
    if (check.PublicKey.isEmpty())
        return true;
    switch (CheckSignature(*file, check.Signature.toStdString(), check.PublicKey.toStdString())) {
    case TSignatureCheck::Valid: return true;
    case TSignatureCheck::Missing: ShowError(QString::fromLatin1(TUpdateDownloadForm::kNotSigned)); break;
    case TSignatureCheck::Invalid: ShowError(QString::fromLatin1(TUpdateDownloadForm::kNotThePublishers)); break;
    }
    return false;
}

void TVelkAppUpdateDownloadBox::ShowError(const QString& message)
{
    ShowUpdateMessage(*seams_.Messages, this, message, TMsgDlgType::Error);
}

void TVelkAppUpdateDownloadBox::StartInstaller()
{
    ShowUpdateMessage(*seams_.Messages, this, QString::fromLatin1(TUpdateDownloadForm::kWillClose),
                      TMsgDlgType::Information);
    seams_.Application->Terminate();
    seams_.Shell->Open(QStringLiteral("open"), target_, SW_SHOWNORMAL);
}

TUpdateDownloadForm TVelkAppUpdateDownloadBox::Form() const
{
    return TUpdateDownloadForm(FileSizeUnit, QLocale().groupSeparator().toStdString());
}

void TVelkAppUpdateDownloadBox::ShowTransferred(std::int64_t bytes)
{
    TransferLabel->setText(Text(Form().TransferText(bytes, maximum_)));
}

bool TVelkAppUpdateDownloadBox::Transferring() const
{
    return CancelButton->isEnabled();
}

void TVelkAppUpdateDownloadBox::HttpCli1DocData()
{
    const std::int64_t received = HttpCli1->RcvdCount();
    if (maximum_ > 0)
        ShowTransferred(received);
    ProgressBar1->setValue(static_cast<int>(std::clamp<std::int64_t>(received, 0, maximum_)));
}

void TVelkAppUpdateDownloadBox::Timer1Timer()
{
    const auto elapsed = Now() - StartTime;
    const std::int64_t seconds = std::chrono::abs(std::chrono::duration_cast<std::chrono::seconds>(elapsed)).count();
    const TDownloadTickTexts texts = Form().TickTexts(HttpCli1->RcvdCount(), maximum_, seconds);
    SpeedLabel->setText(Text(texts.Speed));
    ElapsedTimeLabel->setText(Text(texts.Elapsed));
    if (texts.Remaining)
        RemainingTimeLabel->setText(Text(*texts.Remaining));
}

void TVelkAppUpdateDownloadBox::CancelButtonClick()
{
    if (ShowUpdateMessage(*seams_.Messages, this, QString::fromLatin1(TUpdateDownloadForm::kCancelQuestion),
                          TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo)
        != TModalResult::Yes)
        return;
    HttpCli1->Abort();
    try {
        HttpCli1->Close();
    } catch (const EHttpException&) {
        // The transfer is discarded whatever the close reports.
    }
    CancelButton->setEnabled(false);
    Timer1->stop();
    ShowError(QString::fromLatin1(TUpdateDownloadForm::kNotCompleted));
}

void TVelkAppUpdateDownloadBox::reject()
{
    if (TUpdateDownloadForm::CloseAsksToCancel(Transferring()))
        CancelButtonClick();
    else
        QDialog::reject();
}

}  // namespace quorvex
