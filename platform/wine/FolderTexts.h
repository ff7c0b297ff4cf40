// Folder texts as the user sees them ("C:\Program Files\...") and the native
// folders inside the Wine prefix that they name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace quorvex {

// The native folder that a folder text names, when it exists as a folder.
std::optional<std::filesystem::path> ExistingNativeFolder(const std::string& folderText);

// The text for a native folder: inside the prefix's drive C: it reads
// "C:\..." as a Windows program sees it; anywhere else, or when the prefix's
// drive C: cannot be followed, it stays as given.
std::string WindowsFolderText(const std::string& nativeFolder);

}  // namespace quorvex
