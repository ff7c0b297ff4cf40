// The Wine prefix that stands in for the Windows installation.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quorvex {

// The user's home folder: $HOME, else the password database's entry.
std::filesystem::path HomeFolder();

// The prefix in use: the one chosen with UseWinePrefix, else $WINEPREFIX,
// else ~/.wine; the environment is read afresh at each call.
std::filesystem::path WinePrefix();

// The environment's prefix: $WINEPREFIX, else ~/.wine.
std::filesystem::path EnvironmentPrefix();

// Whether $WINEPREFIX names the environment's prefix (else it is ~/.wine).
bool EnvironmentNamesPrefix();

// Chooses the prefix for the rest of the process (a --prefix option, a
// messenger folder inside another prefix); an empty path goes back to the
// environment's choice.
void UseWinePrefix(const std::filesystem::path& prefix);

// The folders that hold Wine's server folders: upstream Wine's
// /tmp/.wine-<uid> and Debian's /tmp/wine-XXXXXX folders.
std::vector<std::filesystem::path> ServerFolderParents();

// The name of the folder a wineserver of this prefix works in:
// "server-<device>-<inode>" of the prefix folder, in hexadecimal; empty when
// the prefix cannot be looked at.
std::string ServerFolderName(const std::filesystem::path& prefix);

// Whether a wineserver serves this prefix now. Wine's server works in a folder
// named "server-<device>-<inode>" after the prefix folder (under
// /tmp/.wine-<uid> or a /tmp/wine-XXXXXX) and holds a write lock on the file
// "lock" in it while it runs; where no such folder of this user can be
// looked at, a wineserver process of this user (by its real user id)
// working in a folder of that name counts (among the processes holding a
// lock, where the system lists them).
bool WineserverRunning(const std::filesystem::path& prefix);

}  // namespace quorvex
