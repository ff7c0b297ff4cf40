// Where a downloaded installer is saved, and under which name.
#pragma once

#include <QString>

namespace quorvex {

// The folders that stand in for the Windows special folders: the user's
// local application data, the Windows folder and the temporary folder.
struct TSpecialFolders {
    QString LocalAppData;  // empty when it cannot be had
    QString Windows;
    QString Temp;
};

// On Linux: the user's data folder ($XDG_DATA_HOME, else ~/.local/share),
// the Wine prefix's drive_c/windows, and the user's private temporary folder
// (platform/PrivateFile.h), which is made when missing; raises Error when
// there can be none.
TSpecialFolders SystemSpecialFolders();

// The first of these that exists as a private folder (this user's, and no
// one else may write into it), none of them created:
// LocalAppData/Downloaded Installations/, LocalAppData/Temp/,
// Windows/Downloaded Installations/, else Temp/. Always ends in "/".
QString DownloadFolder(const TSpecialFolders& folders);

// The part of a URL after its last "/" (the whole URL when it has none),
// query text included.
QString URLFileName(const QString& url);

// Whether a name taken from a URL names a file inside the download folder
// and nothing else: not empty, without "\", "/" or "..".
bool IsPlainFileName(const QString& name);

}  // namespace quorvex
