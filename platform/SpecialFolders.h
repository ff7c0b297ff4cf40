// The folders that stand in for the Windows special folders where the update
// checker keeps downloads. Paths are UTF-8.
#pragma once

#include <string>

namespace quorvex {

struct TSpecialFolders {
    std::string LocalAppData;  // empty when it cannot be had
    std::string Windows;
    std::string Temp;
};

// On Linux: the user's data folder ($XDG_DATA_HOME, else ~/.local/share),
// the Wine prefix's drive_c/windows, and the user's private temporary folder
// (platform/PrivateFile.h), which is made when missing; raises Error when
// there can be none.
TSpecialFolders SystemSpecialFolders();

}  // namespace quorvex
