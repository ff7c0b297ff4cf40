// The three option lists as the command line names them: each row's short
// name, the rules that decide whether a row can be ticked now, and the words
// that say why not.
#pragma once

#include "workflows/OptionRules.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::cli {

struct TOptionList {
    std::string_view Command;                 // the command that applies it: "adverts"
    std::string_view Title;                   // "advert options"
    std::span<const std::string_view> Names;  // short names, by row index
    // Why the list's tab is disabled for a messenger version; Available when it is not.
    TUnavailableReason (*TabReason)(const std::string& version);
    // Why a row cannot be ticked now; Available when it can.
    TUnavailableReason (*RowReason)(int index, IOptionFacts& facts);

    int Count() const { return static_cast<int>(Names.size()); }
};

const TOptionList& AdvertOptionList();
const TOptionList& UIOptionList();
const TOptionList& CleanOptionList();

// The row of a list that a word names: its index ("0".."8") or its short
// name; -1 when it names none.
int RowNamed(const TOptionList& list, std::string_view word);

// The words that finish "... is not available: " for the installed version;
// empty for Available.
std::string ReasonText(TUnavailableReason reason, const std::string& version);

// Why each row cannot be ticked now (Available where it can), by row index;
// while the list's tab is disabled, the tab's reason for every row.
std::vector<TUnavailableReason> RowReasons(const TOptionList& list, IOptionFacts& facts);

}  // namespace quorvex::cli
