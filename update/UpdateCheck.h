// The update check without windows: fetches the update information file,
// reads the newest version and a few URLs from the program's section, fetches
// the readme, and compares the versions. The windowed checker
// (TVelkAppUpdate) shows what it found; quorvex-cli prints it. Texts are
// UTF-8.
#pragma once

#include "update/UpdateInformation.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

class THttpCli;

struct TUpdateCheckSettings {
    std::string UpdateFileURL;
    std::string UpdatePageURL;  // used when the update information names none
    std::string Version;  // the running program's
    std::string Section;  // of the update information file (UpdateSectionName)
};

struct TUpdateCheckResult {
    TUpdateInformation Information;
    // The readme's lines, or one line telling why a fetch failed; unset
    // when nothing was fetched that replaces an empty readme.
    std::optional<std::vector<std::string>> Readme;
    // Why the update information file could not be fetched ("Failed: "
    // and the status); unset when it was.
    std::optional<std::string> InformationFailure;
    // The same for the readme.
    std::optional<std::string> ReadmeFailure;
    // Whether the server's version is newer than the program's.
    bool Newer = false;
};

// The product web site's update information file, the one a check reads
// unless told otherwise, and its update page.
std::string ProductUpdateFileURL();
std::string ProductUpdatePageURL();

// The largest update information file and readme that a check reads.
inline constexpr std::int64_t kUpdateInformationLimit = 256 * 1024;
inline constexpr std::int64_t kReadmeLimit = 1024 * 1024;

// Runs the check's requests with client (configured with ConfigureUpdateClient
// and the proxy). Each body goes to a new private temporary file
// ("AU...tmp", platform/PrivateFile.h), deleted afterwards. timeUp is asked
// between the requests: once it says yes (a deadline that also aborts the
// client), no further request is made. A file that cannot be created or
// written, and a body above its limit, raise Error.
TUpdateCheckResult RunUpdateCheck(THttpCli& client, const TUpdateCheckSettings& settings,
                                  const std::function<bool()>& timeUp);

}  // namespace quorvex
