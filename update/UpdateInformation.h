// What the update section of the update information file says, as a check
// reads it.
#pragma once

#include <QString>

namespace quorvex {

struct TUpdateInformation {
    QString DownloadFileURL;
    QString ReadmeFileURL;
    QString UpdatePageURL;
    QString Version;
    QString CRC32Hash;
    QString MD5Hash;
    QString SHA1Hash;
    QString EdSignature;  // the publisher's signature of the installer, base64
};

}  // namespace quorvex
