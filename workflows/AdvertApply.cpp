// The advert options apply: load the messenger image, back it up, patch it,
// write the IM status bar skin and the HTML replacement file, save the image
// when a patch succeeded, and switch the messenger's registry settings.
#include "workflows/Workflows.h"

#include "engine/TQuorvex.h"
#include "platform/EventPump.h"
#include "platform/Platform.h"
#include "workflows/WorkflowSteps.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvex {
namespace {

// The rows of the advert option list.
enum TAdvertOption : int {
    kMainAdvert,
    kChangeBanner,
    kChatAdvert,
    kWebcamAdverts,
    kVideoCallAdvert,
    kStatusBarAdvert,
    kMultipleInstances,
    kAutoStart,
    kSmileySearch,
    kAdvertOptionCount,
};

// Reports the image patches and counts those that succeeded: the image is
// saved only when one did. At most nine can succeed in an apply.
class TPatchReport {
public:
    explicit TPatchReport(IStatusLog& status) : status_(status) {}

    void Add(std::string_view subject, bool patched, std::string_view failure = "Not Found or Already Patched")
    {
        status_.AppendLine(std::string(subject) + ": " +
                           (patched ? std::string("Successfully Patched") : std::string(failure)));
        if (patched)
            ++applied_;
    }

    bool AnyApplied() const { return applied_ > 0; }

private:
    IStatusLog& status_;
    std::uint8_t applied_ = 0;
};

bool AnyImagePatchTicked(const std::vector<bool>& ticks)
{
    for (int option = kMainAdvert; option <= kVideoCallAdvert; ++option) {
        if (ticks[option])
            return true;
    }
    return false;
}

// The main advert byte's offset for the installed version; 0 (none) when the
// version cannot be read, which only makes the backup check stricter.
std::int32_t InstalledMainAdvertOffset()
{
    try {
        return VersionOffset(YahooVersion());
    } catch (const RegistryError&) {
        return 0;
    }
}

// A backup that the executable differs from only by advert patches is the
// messenger's original and is kept; any other backup (or none) is written
// afresh from the executable, as after an update of the messenger.
void BackUpExecutable(TQuorvex& engine, IStatusLog& status)
{
    const std::string backup(kBackupName);
    if (FileSystem().FileExists(backup) && engine.BackupIsOriginal(backup, InstalledMainAdvertOffset())) {
        status.AppendLine("Yahoo Messenger Backup: Successfully Kept");
        return;
    }
    AppendResult(status, engine.CreateBackup(backup), "Yahoo Messenger Backup: Successfully Created",
                 "Yahoo Messenger Backup: Unable to Create Backup");
}

void PatchImage(TQuorvex& engine, const std::vector<bool>& ticks, TPatchReport& report)
{
    if (ticks[kMainAdvert])
        report.Add("Main Messenger Advert", engine.MainAdvert(VersionOffset(YahooVersion())), "Already Patched");
    if (ticks[kChangeBanner])
        report.Add("Change Room Banner", engine.ChangeBanner());
    if (ticks[kChatAdvert])
        report.Add("Chat Room Advert", engine.ChatAdvert());
    if (ticks[kWebcamAdverts]) {
        report.Add("Webcam Viewer Ad", engine.RegCam());
        report.Add("Webcam Viewer Ad Medium", engine.MedCam());
        report.Add("Webcam Viewer Ad Big", engine.BigCam());
        report.Add("Webcam Upload Ad", engine.UpCam());
    }
    if (ticks[kVideoCallAdvert])
        report.Add("Video Call Advert", engine.VidAd());
}

// Written only when missing, so a colour chosen earlier (or in the editor) stays.
void WriteHtmlReplacement(TQuorvex& engine, IWorkflowHost& host)
{
    IStatusLog& status = host.StatusLog();
    if (FileSystem().FileExists(std::string(kAdvertHtmlPath))) {
        status.AppendLine("HTML Replacement File: Already Exists");
        return;
    }
    engine.CreateAdvertHTML(host.AdvertColor());
    status.AppendLine("HTML Replacement File: Successfully Saved");
}

// A setting that is on is switched off, one that is off is switched on; a
// change that fails writes no line.
void ToggleSetting(bool on, bool switched, IStatusLog& status, std::string_view subject)
{
    if (switched)
        status.AppendLine(std::string(subject) + (on ? ": Successfully Disabled" : ": Successfully Enabled"));
}

void SwitchSettings(TQuorvex& engine, const std::vector<bool>& ticks, IStatusLog& status)
{
    if (ticks[kMultipleInstances]) {
        const bool on = engine.CheckMulti();
        ToggleSetting(on, engine.YahooMulti(on), status, "Multiple Instances");
    }
    if (ticks[kAutoStart])
        AppendResult(status, engine.AutoStart(), "Auto Start: Successfully Disabled", "Auto Start: Unable to Disable");
    if (ticks[kSmileySearch]) {
        const bool on = engine.CheckSmiley();
        ToggleSetting(on, engine.SmileySearch(on), status, "Smiley Search");
    }
}

}  // namespace

void ApplyAdvertOptions(TQuorvex& engine, TmxStorage& storage, IWorkflowHost& host)
{
    const std::string folder = host.MessengerFolder();
    if (!ReadyToApply(host, folder))
        return;
    const std::vector<bool> ticks = ReadTicks(host, kAdvertOptionCount);
    const bool imagePatches = AnyImagePatchTicked(ticks);
    IStatusLog& status = host.StatusLog();
    TPatchReport report(status);

    status.EnableClose(false);
    engine.YahooMessengerPath = folder;
    engine.LoadYahooMessenger();
    ServeEventLoop();
    status.Show();

    if (imagePatches)
        BackUpExecutable(engine, status);
    PatchImage(engine, ticks, report);
    if (ticks[kStatusBarAdvert]) {
        WriteStoredItem(storage, kIMWindowWithoutStatusBar, folder, kIMWindowSkin);
        status.AppendLine("IM Statusbar Advert: Successfully Removed");
    }
    if (imagePatches)
        report.Add("Urls", engine.Urls());
    if (ticks[kChangeBanner] || ticks[kWebcamAdverts])
        WriteHtmlReplacement(engine, host);
    if (report.AnyApplied())
        AppendResult(status, engine.SaveYahooMessenger(), "Save: Successfully saved changes to Yahoo Messenger",
                     "Save: Cannot save, Yahoo Messenger is being used by another program");
    SwitchSettings(engine, ticks, status);

    host.AdvertOptionRefresh();
    host.UntickAll();
    engine.Clear();
    ShowComplete(status);
    status.EnableClose(true);
}

}  // namespace quorvex
