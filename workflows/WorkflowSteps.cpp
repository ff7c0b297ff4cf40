#include "workflows/WorkflowSteps.h"

#include "archive/mxStorage.h"
#include "engine/MessengerInfo.h"
#include "platform/Platform.h"

namespace quorvex {

std::vector<bool> ReadTicks(const IWorkflowHost& host, int count)
{
    std::vector<bool> ticks;
    for (int index = 0; index < count; ++index)
        ticks.push_back(host.Ticked(index));
    return ticks;
}

bool ExecutableExists(const std::string& folder)
{
    return FileSystem().FileExists(folder + std::string(kExecutableName));
}

bool ReadyToApply(IWorkflowHost& host, const std::string& folder)
{
    if (!ExecutableExists(folder)) {
        host.ShowMessage(std::string(kMessengerNotFound));
        return false;
    }
    if (YahooRunning()) {
        host.ShowMessage(std::string(kMessengerRunning));
        return false;
    }
    if (!host.AnyTicked()) {
        host.ShowMessage(std::string(kNoOptionTicked));
        return false;
    }
    return true;
}

void WriteStoredItem(TmxStorage& storage, int index, const std::string& folder, std::string_view name)
{
    storage.ItemByIndex(index).SaveToFile(folder + std::string(name));
}

void AppendResult(IStatusLog& status, bool succeeded, std::string_view success, std::string_view failure)
{
    status.AppendLine(std::string(succeeded ? success : failure));
}

void ShowComplete(IStatusLog& status)
{
    status.SetStatusText(std::string(kApplyComplete));
    status.SetProgressState(TProgressState::Paused);
}

}  // namespace quorvex
