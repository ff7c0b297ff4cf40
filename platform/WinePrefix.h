// The Wine prefix that stands in for the Windows installation.
#pragma once

#include <filesystem>

namespace quorvex {

// The user's home folder: $HOME, else the password database's entry.
std::filesystem::path HomeFolder();

// The prefix in use: the one chosen with UseWinePrefix, else $WINEPREFIX,
// else ~/.wine; the environment is read afresh at each call.
std::filesystem::path WinePrefix();

// Chooses the prefix for the rest of the process (a --prefix option, a
// messenger folder inside another prefix); an empty path goes back to the
// environment's choice.
void UseWinePrefix(const std::filesystem::path& prefix);

// Whether a wineserver serves this prefix now. Wine's server works in a folder
// named "server-<device>-<inode>" after the prefix folder, so a wineserver
// process whose working folder has that name belongs to the prefix.
bool WineserverRunning(const std::filesystem::path& prefix);

}  // namespace quorvex
