// Windows path names resolved to native paths inside the Wine prefix.
#pragma once

#include <filesystem>
#include <string>

namespace quorvex {

// Resolves a path text the way a Windows program running in the prefix sees it:
// - "X:\..." goes through <prefix>/dosdevices/x: (Wine's drive mapping);
// - a path starting with "/" or "\" is a native absolute path;
// - anything else is relative to the process's working folder.
// Backslashes and slashes both separate components; "." stays in the folder
// and ".." goes to the folder above, never above the root of a drive. A
// component that does not exist with its exact name matches an existing
// entry that differs only in letter case (Unicode simple case folding), as on
// Windows; otherwise it is kept as written, so the result also names files
// yet to be created.
std::filesystem::path ResolvePath(const std::string& path, const std::filesystem::path& prefix);

}  // namespace quorvex
