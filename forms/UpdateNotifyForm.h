// The notification window's rules, without a toolkit: which checksum the
// download is verified with, whether the installer can be downloaded, and
// the readme's lines. Texts are UTF-8.
#pragma once

#include "update/Checksums.h"
#include "update/UpdateInformation.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class TUpdateNotifyForm {
public:
    // The information of a check, and its readme (TUpdateCheckResult).
    TUpdateNotifyForm(const TUpdateInformation& information, const std::optional<std::vector<std::string>>& readme)
        : information_(information), readme_(readme)
    {
    }

    // The Download button is enabled only when the information names an installer.
    bool CanDownload() const { return !information_.DownloadFileURL.empty(); }
    // The checksum of the installer given for the hash type asked for; empty for None.
    std::string ExpectedChecksum(THashType type) const;
    // The readme area's lines: the readme's, or the reason it could not be
    // fetched; one empty line when nothing replaced it.
    std::vector<std::string> ReadmeLines() const;

private:
    const TUpdateInformation& information_;
    const std::optional<std::vector<std::string>>& readme_;
};

}  // namespace quorvex
