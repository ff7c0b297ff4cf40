// quorvex-cli from its arguments to its exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvex::cli {

enum TExitStatus : int {
    kCompleted = 0,  // the run completed (or status, help, version was printed)
    kRefused = 1,    // a precondition or an availability rule refused the run
    kUsageError = 2,
    kFailed = 3,     // an error ended the run midway
};

// Runs the command that the arguments (UTF-8, without the program's name)
// ask for: status lines and reports to out, messages and errors to err.
TExitStatus RunCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace quorvex::cli
