#include "tests/cli/CliRunner.h"

#include "tests/fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace quorvex::test {

namespace fs = std::filesystem;

std::vector<std::string> TCliRun::OutLines() const
{
    std::vector<std::string> lines;
    std::istringstream text(Out);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

namespace {

// The child's side: only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecCli(const fs::path& workingFolder, int out, int err, std::vector<char*>& argv)
{
    if (chdir(workingFolder.c_str()) != 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
        _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
}

int WaitBounded(pid_t pid)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "quorvex-cli did not end within a minute";
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

TCliRun RunCli(const std::vector<std::string>& arguments, const fs::path& workingFolder)
{
    const TTempFolder output;
    const fs::path outPath = output.Path() / "out", errPath = output.Path() / "err";
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0 || err < 0) {
        ADD_FAILURE() << "cannot open the output files";
        return {};
    }
    std::string program = QUORVEX_CLI_PATH;
    std::vector<std::string> words = arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0)
        ExecCli(workingFolder, out, err, argv);
    close(out);
    close(err);
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return {};
    }
    TCliRun run;
    run.Status = WaitBounded(pid);
    run.Out = ReadText(outPath);
    run.Err = ReadText(errPath);
    return run;
}

}  // namespace quorvex::test
