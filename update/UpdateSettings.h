// What a program gives its update checker: the size unit and checksum of
// the download, the proxy, the update information file and page, the
// program's own version and the publisher's key. Texts are UTF-8.
#pragma once

#include "update/Checksums.h"
#include "update/FileSize.h"

#include <string>

namespace quorvex {

struct TUpdateSettings {
    TVelkAppUpdateFileSizeUnit FileSizeUnit = TVelkAppUpdateFileSizeUnit::Auto;
    THashType HashType = THashType::None;
    std::string ProxyAddress;  // empty: a direct connection
    std::string ProxyPort = "80";
    std::string UpdateFileURL;
    std::string UpdatePageURL;
    std::string Version;  // the running program's
    // The publisher's Ed25519 public key, base64; when set, an installer is
    // started only with a valid signature of it (EdSignature).
    std::string UpdatePublicKey;
};

// The windowed programs' checker: the product web site's update information
// file and page, this build's version and publisher key, no checksum, a
// direct connection, sizes in the unit that suits them.
TUpdateSettings ProgramUpdateSettings();

}  // namespace quorvex
