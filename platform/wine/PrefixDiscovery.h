// Which Wine prefix holds the messenger: the prefix around a native folder,
// and the prefixes that Wine front-ends keep under the home folder. Finding
// them only reads; nothing is written anywhere.
#pragma once

#include "platform/PrefixChoice.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvex {

// A Wine prefix is a folder holding system.reg, user.reg and drive_c, all
// owned by the user, as Wine requires.
bool IsWinePrefix(const std::filesystem::path& folder);

// The nearest folder at or above a native absolute path that is a Wine
// prefix; nothing for a relative path or one inside no prefix.
std::optional<std::filesystem::path> PrefixHolding(const std::filesystem::path& nativePath);

// Whether a folder is a Wine prefix of the user's own, is missing, or is
// something else.
TPrefixState PrefixStateOf(const std::filesystem::path& folder);

// The folders in which Wine front-ends keep their prefixes, in the order they
// are searched: winetricks' <data home>/wineprefixes, Bottles' <data
// home>/bottles/bottles and its Flatpak twin
// ~/.var/app/com.usebottles.bottles/data/bottles/bottles, Lutris' ~/Games,
// PlayOnLinux's ~/.PlayOnLinux/wineprefix. The data home is $XDG_DATA_HOME,
// else ~/.local/share.
std::vector<std::filesystem::path> FrontEndFolders();

// The prefixes directly inside the front-end folders, folder by folder and,
// inside one folder, in byte order of their names; folders that are not
// prefixes are left out.
std::vector<std::filesystem::path> FrontEndPrefixes();

// Whether a Windows path ("C:\...") names an existing file in a prefix,
// resolved as the file system layer resolves it.
bool PrefixHoldsFile(const std::filesystem::path& prefix, const std::string& windowsFile);

// The prefix to look for the messenger in, and why, at start: the given one
// when it is not empty; else the environment's ($WINEPREFIX, else ~/.wine)
// when it holds one of the Windows files or no front-end prefix does; else the
// first front-end prefix that holds one. Only reads; puts nothing in use.
TPrefixChoice ChooseMessengerPrefix(const std::filesystem::path& given, std::span<const std::string> windowsFiles);

// For a messenger folder typed or picked as a native path inside a prefix
// other than the one in use: that prefix becomes the one in use, and is
// returned. A Windows path ("C:\..."), or a native path inside no prefix,
// keeps the prefix in use (nothing is returned).
std::optional<std::filesystem::path> UsePrefixOfFolder(const std::string& folderText);

}  // namespace quorvex
