// Folder texts as the user sees them ("C:\Program Files\...") and the native
// folders inside the Wine prefix that they name.
#pragma once

#include "workflows/MessengerLocation.h"

#include <QString>

#include <optional>

namespace quorvex {

// The native folder that a folder text names, when it exists.
std::optional<QString> ExistingNativeFolder(const QString& folderText);

// The text for a native folder: inside the prefix's drive C: it reads
// "C:\..." as a Windows program sees it; anywhere else it stays native.
QString WindowsFolderText(const QString& nativeFolder);

// Names the Wine prefix in use and why it is the one, or says what is wrong
// with it; when the Wine front-ends' folders were searched in vain, it lists
// them; below it, why a registry file there cannot be read, one line each.
QString PrefixToolTip(const TMessengerLocation& location);

}  // namespace quorvex
