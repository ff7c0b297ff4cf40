// The status command: what the installed messenger and the working folder
// look like now, and which rows of each option list can be ticked, as text or
// as one JSON object.
#pragma once

#include "cli/OptionLists.h"
#include "platform/PrefixChoice.h"
#include "workflows/MessengerLocation.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvex::cli {

struct TListStatus {
    const TOptionList* List = nullptr;
    std::vector<TUnavailableReason> Rows;  // Available where a row can be ticked
};

struct TMessengerStatus {
    std::optional<TPrefixChoice> Prefix;  // the Wine prefix, where there is one
    std::optional<std::string> PrefixProblem;  // why the prefix cannot hold a messenger
    std::vector<std::string> RegistryFileProblems;  // why a registry file of it cannot be read
    std::string Folder;
    bool ExecutableFound = false;
    std::string Version;
    std::optional<std::uint8_t> MajorVersion;  // none when the version has no number first
    bool Running = false;
    bool BackupExists = false;
    bool HtmlReplacementExists = false;
    std::vector<TListStatus> Lists;  // adverts, UI, clean
};

// Reads the state for the messenger at the location in use.
TMessengerStatus ReadStatus(const TMessengerLocation& location, IOptionFacts& facts);

void PrintStatus(const TMessengerStatus& status, std::ostream& out);
void PrintStatusJson(const TMessengerStatus& status, std::ostream& out);

}  // namespace quorvex::cli
