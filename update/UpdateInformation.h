// What the update section of the update information file says, as a check
// reads it. Texts are UTF-8.
#pragma once

#include <string>

namespace quorvex {

struct TUpdateInformation {
    std::string DownloadFileURL;
    std::string ReadmeFileURL;
    std::string UpdatePageURL;
    std::string Version;
    std::string CRC32Hash;
    std::string MD5Hash;
    std::string SHA1Hash;
    std::string EdSignature;  // the publisher's signature of the installer, base64
};

}  // namespace quorvex
