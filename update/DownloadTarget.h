// Where a downloaded installer is saved, and under which name. Texts are
// UTF-8.
#pragma once

#include "platform/SpecialFolders.h"

#include <string>

namespace quorvex {

// The first of these that exists as a private folder (this user's, and no
// one else may write into it), none of them created:
// LocalAppData/Downloaded Installations/, LocalAppData/Temp/,
// Windows/Downloaded Installations/, else Temp/; an unknown (empty) folder
// is skipped, never taken as the root. Always ends in "/".
std::string DownloadFolder(const TSpecialFolders& folders);

// The part of a URL after its last "/" (the whole URL when it has none),
// query text included.
std::string URLFileName(const std::string& url);

// Whether a name taken from a URL names a file inside the download folder
// and nothing else: not empty, without "\", "/" or "..".
bool IsPlainFileName(const std::string& name);

}  // namespace quorvex
