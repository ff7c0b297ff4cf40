// The clean options: the backup of the executable put back with the stock
// message-window skin, the HTML replacement file deleted, and the stock
// contact-list and contact-card skins put back.
#include "workflows/Workflows.h"

#include "engine/TQuorvex.h"
#include "platform/Platform.h"
#include "workflows/WorkflowSteps.h"

namespace quorvex {
namespace {

// The rows of the clean option list.
enum TCleanOption : int { kRestoreBackup, kRemoveHtmlReplacement, kRestoreSkins, kCleanOptionCount };

constexpr std::string_view kMessengerNotFoundForClean =
    "Yahoo Messenger is not located at the path specified. Enter the correct path to Yahoo Messenger in the Advert "
    "Options tab and try again.";

void RestoreBackup(TQuorvex& engine, TmxStorage& storage, const std::string& folder, IStatusLog& status)
{
    engine.YahooMessengerPath = folder;
    if (!engine.RestoreBackup(std::string(kBackupName))) {
        status.AppendLine("Yahoo Messenger Backup: Unable to Restore");
        return;
    }
    status.AppendLine("Yahoo Messenger Backup: Successfully Restored");
    FileSystem().DeleteFile(std::string(kBackupName));
    WriteStoredItem(storage, kStockIMWindow, folder, kIMWindowSkin);
}

}  // namespace

void CleanAndRestore(TQuorvex& engine, TmxStorage& storage, IWorkflowHost& host)
{
    const std::string folder = host.MessengerFolder();
    if (!host.AnyTicked()) {
        host.ShowMessage(std::string(kNoOptionTicked));
        return;
    }
    if (YahooRunning()) {
        host.ShowMessage(std::string(kMessengerRunning));
        return;
    }
    const std::vector<bool> ticks = ReadTicks(host, kCleanOptionCount);
    IStatusLog& status = host.StatusLog();
    status.Show();

    if (ticks[kRestoreBackup]) {
        // Only the restore needs the executable; a wrong folder ends the
        // whole run before anything is changed.
        if (!ExecutableExists(folder)) {
            host.ShowMessage(std::string(kMessengerNotFoundForClean));
            status.Close();
            return;
        }
        RestoreBackup(engine, storage, folder, status);
    }
    if (ticks[kRemoveHtmlReplacement])
        AppendResult(status, FileSystem().DeleteFile(std::string(kAdvertHtmlPath)),
                     "HTML Replacement File: Successfully Removed", "HTML Replacement File: Unable to Remove");
    if (ticks[kRestoreSkins]) {
        WriteStoredItem(storage, kStockFriendList, folder, kFriendListSkin);
        WriteStoredItem(storage, kStockContactCard, folder, kContactCardSkin);
        status.AppendLine("Yahoo UI Options: Successfully Restored");
    }

    host.UntickAll();
    ShowComplete(status);
    host.AdvertOptionRefresh();
}

}  // namespace quorvex
