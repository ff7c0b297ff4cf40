// Which messenger Quorvex works on: one rule for the window, quorvex-cli and
// the run command. On a Wine prefix: the prefix (given, else the environment's,
// else the first front-end prefix holding a messenger), a native messenger
// folder inside another prefix moving to that prefix; everywhere: the default
// messenger folder, under Program Files or, where only it holds the
// messenger, Program Files (x86).
#pragma once

#include "platform/PrefixChoice.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

inline constexpr std::string_view kDefaultMessengerFolderX86 = "C:\\Program Files (x86)\\Yahoo!\\Messenger";

struct TMessengerLocation {
    std::optional<TPrefixChoice> Prefix;  // none where there is no Wine prefix (Windows)
    std::string Folder;                   // the messenger folder text

    bool operator==(const TMessengerLocation&) const = default;
};

// Chooses the prefix (givenPrefix: a --prefix option, may be empty) and puts
// it in use, then follows the folder text as FollowMessengerFolder does.
TMessengerLocation LocateMessenger(const std::string& givenPrefix, const std::string& folderText);

// From the location in use (on a Wine prefix, none: the prefix in use, as
// the environment names it): a native folder inside another prefix puts that
// prefix in use; the folder is the text, or the default messenger folder when
// the text is empty. The prefix's state is looked at afresh.
TMessengerLocation FollowMessengerFolder(const TMessengerLocation& current, const std::string& folderText);

// C:\Program Files\Yahoo!\Messenger, unless it holds no messenger and
// C:\Program Files (x86)\Yahoo!\Messenger does (a 32-bit program on a 64-bit
// system), looked at in the prefix in use.
std::string DefaultMessengerFolder();

// Why the prefix is the one in use, as the status report and the window say it.
std::string PrefixReasonText(TPrefixReason reason);

// What is wrong with the prefix in use, or nothing when it is usable:
// "No Wine prefix at <path>" or "<path> is not a Wine prefix".
std::optional<std::string> PrefixProblem(const TMessengerLocation& location);
// Why a registry file of the prefix in use cannot be read, one text each
// ("Cannot open file "<path>". <reason>"); none without a prefix.
std::vector<std::string> RegistryFileProblems(const TMessengerLocation& location);

}  // namespace quorvex
