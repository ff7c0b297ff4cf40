// quorvex-cli update: the update checker's check, without windows.
#pragma once

#include "cli/Run.h"

#include <ostream>
#include <string>

namespace quorvex::cli {

// Checks the update information file at url (empty: the product web site's)
// for a version newer than this build's. Newer: prints its version and the
// download, readme and update page addresses that it gives, kCompleted.
// None: says so, kRefused. A request that fails gives kFailed with its
// status on err; other errors (a file above its size limit, a temporary file
// that cannot be written) raise Error.
TExitStatus CheckForUpdate(const std::string& url, std::ostream& out, std::ostream& err);

}  // namespace quorvex::cli
