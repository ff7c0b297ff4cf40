// The system's folder picker (IFileOpenDialog picking folders), modal over
// its owner. The thread must have COM initialised (single-threaded apartment).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace quorvex::win32 {

// Opens the picker with the prompt as its title, at startFolder when that
// names an existing folder and at the root folder "\" otherwise. The chosen
// folder's path (UTF-8), or nothing when the user cancelled. Throws Error
// with the system's reason when the picker cannot be shown.
std::optional<std::string> PickFolder(HWND owner, const std::string& prompt, const std::string& startFolder);

}  // namespace quorvex::win32
