// quorvex-cli run as a process, as a script would run it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::test {

struct TCliRun {
    int Status = -1;  // the exit status; 128 + the signal when a signal ended it
    std::string Out;
    std::string Err;

    std::vector<std::string> OutLines() const;
};

// Runs the built quorvex-cli with the arguments in a working folder, with the
// test's environment, and waits for it (a run that hangs is killed after a
// minute and fails the test).
TCliRun RunCli(const std::vector<std::string>& arguments, const std::filesystem::path& workingFolder);

}  // namespace quorvex::test
