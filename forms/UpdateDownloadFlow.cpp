#include "forms/UpdateDownloadFlow.h"

#include "http/HttpCli.h"
#include "platform/Error.h"
#include "platform/PrivateFile.h"
#include "update/DownloadTarget.h"
#include "update/InstallerSignature.h"
#include "update/UpdateHttp.h"

#include <algorithm>

namespace quorvex {

TUpdateDownloadFlow::TUpdateDownloadFlow(IUpdateDownloadView& view, THttpCli& client, TUpdateSeams& seams)
    : view_(view), client_(client), seams_(seams)
{
    client_.OnDocData = [this](THttpCli*, const char*, std::int64_t) { DocData(); };
}

TUpdateDownloadFlow::~TUpdateDownloadFlow()
{
    client_.OnDocData = nullptr;
    client_.SetRcvdStream(nullptr);
}

void TUpdateDownloadFlow::Download(const std::string& url, const TSpecialFolders& folders,
                                   const TInstallerCheck& check)
{
    if (!CreateTarget(url, folders))
        return;
    // From here on the new file goes, unless it has become the installer.
    struct TDiscard {
        TUpdateDownloadFlow& flow;
        ~TDiscard()
        {
            flow.client_.SetRcvdStream(nullptr);
            flow.sink_.reset();
        }
    } discard{*this};
    RequestSize();
    if (maximum_ <= 0)
        return;  // nothing to transfer, nothing shown
    // The start is taken first, so that the first tick is a whole second after it.
    StartTime = Now();
    view_.StartTimer();
    view_.ShowWindow();
    if (EndTransfer(Transfer()) && Verify(check)) {
        sink_->RenameTo(fileName_);
        // The installer starts by its path: that must still lead into the folder it was saved in.
        if (!folder_->StillAtItsPath())
            throw Error("The folder \"" + folder_->Path().string()
                        + "\" was replaced while the update was saved in it.");
        StartInstaller();
    }
}

// The download's new file beside its target, attached to the client; false
// when the URL names no plain file.
bool TUpdateDownloadFlow::CreateTarget(const std::string& url, const TSpecialFolders& folders)
{
    const std::string name = URLFileName(url);
    if (!IsPlainFileName(name)) {
        ShowError(TUpdateDownloadForm::NotAPlainNameText(name));
        return false;
    }
    const std::string folder = DownloadFolder(folders);
    folder_.emplace(TFolderHandle::OpenPrivate(folder));
    fileName_ = name;
    target_ = folder + name;
    sink_ = std::make_unique<TPrivateSink>(TPrivateFile::CreateBeside(*folder_, name));
    client_.SetURL(url);
    view_.SetFileText(name);
    view_.SetProgress(0);
    return true;
}

void TUpdateDownloadFlow::RequestSize()
{
    view_.SetStatusText(TUpdateDownloadForm::kGettingFileInformation);
    maximum_ = RemoteFileSize(client_);
    view_.SetProgressMaximum(std::max<std::int64_t>(maximum_, 0));
    ShowTransferred(0);
    view_.SetCancelEnabled(true);
    view_.SetStatusText(TUpdateDownloadForm::DownloadingText(client_.Proxy(), client_.ProxyPort()));
}

bool TUpdateDownloadFlow::Transfer()
{
    if (!GetInto(client_, *sink_)) {
        view_.SetStatusText(RequestFailureLine(client_));
        return false;
    }
    const std::int64_t size = sink_->Size();
    ShowTransferred(size);
    view_.SetProgress(ProgressOf(size));
    return true;
}

// Stops the transfer's display and detaches the file; a cancelled transfer
// is no success, however much of it arrived.
bool TUpdateDownloadFlow::EndTransfer(bool success)
{
    if (view_.CancelEnabled())
        view_.SetCancelEnabled(false);
    else
        success = false;
    view_.StopTimer();
    view_.SetProgress(std::max<std::int64_t>(maximum_, 0));
    client_.SetRcvdStream(nullptr);
    return success;
}

// The checksum rule, then the publisher's signature when a key is set.
bool TUpdateDownloadFlow::Verify(const TInstallerCheck& check)
{
    const std::unique_ptr<TFileBlocks> file = sink_->ReadBlocks();
    if (check.HashType != THashType::None && !ChecksumMatches(*file, check.HashType, check.ExpectedChecksum)) {
        ShowError(TUpdateDownloadForm::kCorrupted);
        return false;
    }
    if (check.PublicKey.empty())
        return true;
    switch (CheckSignature(*file, check.Signature, check.PublicKey)) {
    case TSignatureCheck::Valid: return true;
    case TSignatureCheck::Missing: ShowError(TUpdateDownloadForm::kNotSigned); break;
    case TSignatureCheck::Invalid: ShowError(TUpdateDownloadForm::kNotThePublishers); break;
    }
    return false;
}

void TUpdateDownloadFlow::ShowError(const std::string& message)
{
    ShowUpdateMessage(*seams_.Messages, message, TMsgDlgType::Error);
}

void TUpdateDownloadFlow::StartInstaller()
{
    ShowUpdateMessage(*seams_.Messages, TUpdateDownloadForm::kWillClose, TMsgDlgType::Information);
    seams_.Application->Terminate();
    seams_.Shell->Open("open", target_, kShowNormal);
}

TUpdateDownloadForm TUpdateDownloadFlow::Form() const
{
    return TUpdateDownloadForm(FileSizeUnit, ThousandsSeparator);
}

void TUpdateDownloadFlow::ShowTransferred(std::int64_t bytes)
{
    view_.SetTransferText(Form().TransferText(bytes, maximum_));
}

// A position on the progress bar: within its range, whatever arrived.
std::int64_t TUpdateDownloadFlow::ProgressOf(std::int64_t bytes) const
{
    return std::clamp<std::int64_t>(bytes, 0, std::max<std::int64_t>(maximum_, 0));
}

void TUpdateDownloadFlow::DocData()
{
    const std::int64_t received = client_.RcvdCount();
    if (maximum_ > 0)
        ShowTransferred(received);
    view_.SetProgress(ProgressOf(received));
}

void TUpdateDownloadFlow::TimerTick()
{
    const auto elapsed = Now() - StartTime;
    const std::int64_t seconds = std::chrono::abs(std::chrono::duration_cast<std::chrono::seconds>(elapsed)).count();
    const TDownloadTickTexts texts = Form().TickTexts(client_.RcvdCount(), maximum_, seconds);
    view_.SetSpeedText(texts.Speed);
    view_.SetElapsedText(texts.Elapsed);
    if (texts.Remaining)
        view_.SetRemainingText(*texts.Remaining);
}

void TUpdateDownloadFlow::CancelClick()
{
    if (ShowUpdateMessage(*seams_.Messages, TUpdateDownloadForm::kCancelQuestion, TMsgDlgType::Confirmation,
                          TMsgDlgButtons::YesNo)
        != TModalResult::Yes)
        return;
    client_.Abort();
    try {
        client_.Close();
    } catch (const EHttpException&) {
        // The transfer is discarded whatever the close reports.
    }
    view_.SetCancelEnabled(false);
    view_.StopTimer();
    ShowError(TUpdateDownloadForm::kNotCompleted);
}

bool TUpdateDownloadFlow::CloseRequested()
{
    if (!TUpdateDownloadForm::CloseAsksToCancel(view_.CancelEnabled()))
        return true;
    CancelClick();
    return false;
}

}  // namespace quorvex
