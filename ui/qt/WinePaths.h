// Folder texts as the user sees them ("C:\Program Files\...") and the native
// folders inside the Wine prefix that they name.
#pragma once

#include <QString>

#include <optional>

namespace quorvex {

// The native folder that a folder text names, when it exists.
std::optional<QString> ExistingNativeFolder(const QString& folderText);

// The text for a native folder: inside the prefix's drive C: it reads
// "C:\..." as a Windows program sees it; anywhere else it stays native.
QString WindowsFolderText(const QString& nativeFolder);

}  // namespace quorvex
