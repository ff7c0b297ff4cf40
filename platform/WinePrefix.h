// The Wine prefix that stands in for the Windows installation.
#pragma once

#include <filesystem>

namespace quorvex {

// $WINEPREFIX, else ~/.wine; read afresh at each call.
std::filesystem::path WinePrefix();

// Whether a wineserver serves this prefix now. Wine's server works in a folder
// named "server-<device>-<inode>" after the prefix folder, so a wineserver
// process whose working folder has that name belongs to the prefix.
bool WineserverRunning(const std::filesystem::path& prefix);

}  // namespace quorvex
