// What the three workflows share: the messenger's file names, the messages of
// their preconditions, the stored skin items and the small steps built on them.
#pragma once

#include "workflows/WorkflowHost.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

class TmxStorage;

// Names appended to the messenger folder text (joined as they are, never
// normalised), and the backup's name relative to the working folder.
inline constexpr std::string_view kExecutableName = "\\YahooMessenger.exe";
inline constexpr std::string_view kIMWindowSkin = "\\skins\\Default\\IMWindow\\IMWindow.xml";
inline constexpr std::string_view kFriendListSkin = "\\skins\\Default\\FriendList\\FriendList.xml";
inline constexpr std::string_view kContactCardSkin = "\\skins\\Default\\ContactCard\\ContactCard.xml";
inline constexpr std::string_view kBackupName = "YahooMessenger.bak";

inline constexpr std::string_view kMessengerNotFound =
    "Yahoo Messenger is not located at the path specified. Enter the correct path to Yahoo Messenger and try again.";
inline constexpr std::string_view kMessengerRunning =
    "Yahoo Messenger is running. Close Yahoo Messenger and try again.";
inline constexpr std::string_view kNoOptionTicked = "You must select at least one option first.";
inline constexpr std::string_view kApplyComplete = "Applying Options Complete";

// The stored items that the workflows write or read, by catalogue index.
enum TStoredSkin : int {
    kIMWindowWithoutStatusBar = 7,
    kStockIMWindow = 8,
    kStockFriendList = 9,
    kStockContactCard = 10,
    kFriendListTemplate = 11,
    kEmptyContactCard = 12,
};

// The ticks of the host's list, read once.
std::vector<bool> ReadTicks(const IWorkflowHost& host, int count);

bool ExecutableExists(const std::string& folder);

// The preconditions of the advert and skin workflows, in their order: the
// executable is in the folder, the messenger is not running, an option is
// ticked. The first that fails shows its message; false then.
bool ReadyToApply(IWorkflowHost& host, const std::string& folder);

// Writes a stored item over the file at folder + name. Throws FileCreateError
// when the file cannot be created; the file is then unchanged.
void WriteStoredItem(TmxStorage& storage, int index, const std::string& folder, std::string_view name);

void AppendResult(IStatusLog& status, bool succeeded, std::string_view success, std::string_view failure);

// The status window's completed state (its Close button is left alone).
void ShowComplete(IStatusLog& status);

}  // namespace quorvex
