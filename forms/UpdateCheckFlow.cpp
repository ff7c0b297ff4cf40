#include "forms/UpdateCheckFlow.h"

#include "forms/UpdateNotifyForm.h"
#include "http/HttpCli.h"
#include "update/UpdateHttp.h"

namespace quorvex {
namespace {

constexpr const char* kNoNewVersions = "There are no new versions available.";
constexpr const char* kUpdatePageQuestion =
    "There are no advertised versions available.\rDo you want to open the update web page?";

void TellNoNewerVersion(const TUpdateInformation& information, TUpdateSeams& seams)
{
    if (!information.Version.empty() || information.UpdatePageURL.empty()) {
        ShowUpdateMessage(*seams.Messages, kNoNewVersions, TMsgDlgType::Information);
        return;
    }
    if (ShowUpdateMessage(*seams.Messages, kUpdatePageQuestion, TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo)
        == TModalResult::Yes)
        seams.Shell->Open("open", information.UpdatePageURL, kShowNormal);
}

// Stops the deadline however the check ends.
class TDeadlineGuard {
public:
    explicit TDeadlineGuard(IDeadlineTimer& deadline) : deadline_(deadline) {}
    ~TDeadlineGuard() { deadline_.Stop(); }
    TDeadlineGuard(const TDeadlineGuard&) = delete;
    TDeadlineGuard& operator=(const TDeadlineGuard&) = delete;

private:
    IDeadlineTimer& deadline_;
};

}  // namespace

TUpdateNotifyFlow::TUpdateNotifyFlow(IUpdateNotifyView& view, TUpdateSeams& seams) : view_(view), seams_(seams) {}

void TUpdateNotifyFlow::Fill(const TUpdateCheckResult& result, const TUpdateSettings& settings)
{
    information_ = result.Information;
    settings_ = settings;
    const TUpdateNotifyForm form(information_, result.Readme);
    view_.SetReadmeLines(form.ReadmeLines());
    view_.SetDownloadEnabled(form.CanDownload());
}

TDownloadRequest TUpdateNotifyFlow::Request() const
{
    const std::string checksum = TUpdateNotifyForm(information_, std::nullopt).ExpectedChecksum(settings_.HashType);
    return TDownloadRequest{information_.DownloadFileURL,
                            {settings_.HashType, checksum, settings_.UpdatePublicKey, information_.EdSignature},
                            settings_.FileSizeUnit,
                            settings_.ProxyAddress,
                            settings_.ProxyPort};
}

// The window closes once the download has ended, however it ended; it stays
// behind the download window until then.
void TUpdateNotifyFlow::DownloadClick()
{
    try {
        view_.RunDownload(Request());
    } catch (...) {
        downloadError_ = std::current_exception();
    }
    view_.CloseWindow();
}

void TUpdateNotifyFlow::OpenWebPageClick()
{
    seams_.Shell->Open("open", information_.UpdatePageURL, kShowNormal);
}

void TUpdateNotifyFlow::RaiseDownloadError() const
{
    if (downloadError_)
        std::rethrow_exception(downloadError_);
}

bool ExecuteUpdateCheckFlow(const TUpdateSettings& settings, const std::string& section, bool NoMessageDlg,
                            TUpdateSeams& seams,
                            const std::function<void(const TUpdateCheckResult& result)>& showNotification)
{
    THttpCli client;
    ConfigureUpdateClient(client);
    client.SetProxy(settings.ProxyAddress);
    client.SetProxyPort(settings.ProxyPort);
    bool timeUp = false;
    const TDeadlineGuard stopDeadline(*seams.Deadline);
    if (NoMessageDlg) {
        seams.Deadline->Start(kSilentCheckTime, [&timeUp, &client] {
            timeUp = true;
            client.Abort();
        });
    }
    const TUpdateCheckSettings checkSettings{settings.UpdateFileURL, settings.UpdatePageURL, settings.Version,
                                             section};
    const TUpdateCheckResult result = RunUpdateCheck(client, checkSettings, [&timeUp] { return timeUp; });
    seams.Deadline->Stop();
    if (timeUp)
        return false;
    if (result.Newer) {
        showNotification(result);
        return true;
    }
    if (!NoMessageDlg)
        TellNoNewerVersion(result.Information, seams);
    return false;
}

}  // namespace quorvex
