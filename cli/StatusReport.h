// The status command: what the installed messenger and the working folder
// look like now, and which rows of each option list can be ticked, as text or
// as one JSON object.
#pragma once

#include "cli/OptionLists.h"

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
    std::optional<std::string> Prefix;  // the Wine prefix, where there is one
    std::string Folder;
    bool ExecutableFound = false;
    std::string Version;
    std::optional<std::uint8_t> MajorVersion;  // none when the version has no number first
    bool Running = false;
    bool BackupExists = false;
    bool HtmlReplacementExists = false;
    std::vector<TListStatus> Lists;  // adverts, UI, clean
};

// Reads the state for the messenger folder; prefix is the Wine prefix in use,
// if any.
TMessengerStatus ReadStatus(const std::string& folder, std::optional<std::string> prefix, IOptionFacts& facts);

void PrintStatus(const TMessengerStatus& status, std::ostream& out);
void PrintStatusJson(const TMessengerStatus& status, std::ostream& out);

}  // namespace quorvex::cli
