// "wine start /unix PROGRAM ARGUMENTS..." in the prefix in use, from the
// program's folder. Wine's start ends once the program runs or Wine has given
// up, so its exit status tells whether the program started and its output
// why not. A thread of its own waits for Wine.
#include "platform/EventPump.h"
#include "platform/ProgramStartBackend.h"
#include "platform/wine/FileDescriptor.h"
#include "platform/wine/NativeFile.h"
#include "platform/wine/WinePrefix.h"
#include "platform/wine/WineStart.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace quorvex {
namespace {

namespace fs = std::filesystem;

// Enough of Wine's output for its reasons; the rest is its debug lines.
constexpr std::size_t kMaxOutput = 256 * 1024;
// Wine's start returns within seconds, even while it first sets up a prefix.
constexpr std::chrono::minutes kWineDeadline{2};
constexpr std::chrono::milliseconds kWatchStep{50};
constexpr char kWineNotInstalled[] =
    "Wine is not installed. Install the package wine (as root: apt-get install wine) and try again.";

bool WineOnPath()
{
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "";
    for (;;) {
        const std::size_t end = std::min(folders.find(':'), folders.size());
        const std::string folder(folders.substr(0, end));
        const std::string wine = (folder.empty() ? std::string(".") : folder) + "/wine";
        struct stat status {};
        if (::stat(wine.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(wine.c_str(), X_OK) == 0)
            return true;
        if (end == folders.size())
            return false;
        folders.remove_prefix(end + 1);
    }
}

// This process's environment with the prefix in use as WINEPREFIX.
std::vector<std::string> WineEnvironment()
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with("WINEPREFIX="))
            environment.emplace_back(*entry);
    }
    environment.push_back("WINEPREFIX=" + WinePrefix().string());
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs onFailure from the program's loop when there is one.
void Report(const TStartFailure& onFailure, std::string reason)
{
    if (!onFailure)
        return;
    if (TEventPump* pump = InstalledEventPump())
        pump->Post([onFailure, reason = std::move(reason)] { onFailure(reason); });
    else
        onFailure(reason);
}

std::string OutputOf(int descriptor)
{
    std::string output(kMaxOutput, '\0');
    const ssize_t count = ::pread(descriptor, output.data(), output.size(), 0);
    output.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    return output;
}

// Waits for Wine to end, up to kWineDeadline, and reports why it failed.
void Watch(pid_t wine, TFileDescriptor output, TStartFailure onFailure)
{
    const auto deadline = std::chrono::steady_clock::now() + kWineDeadline;
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(wine, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kWatchStep);
    if (ended == 0) {
        Report(onFailure, "Wine did not finish starting it within " + std::to_string(kWineDeadline.count()) + " minutes.");
        while (::waitpid(wine, &status, 0) < 0 && errno == EINTR) {
        }
        return;
    }
    if (ended < 0)
        Report(onFailure, "Wine could not be watched: " + SystemErrorText(errno));
    else if (WIFSIGNALED(status))
        Report(onFailure, "Wine ended abnormally: signal " + std::to_string(WTERMSIG(status)));
    else if (WEXITSTATUS(status) != 0)
        Report(onFailure, WineFailureReason(OutputOf(output.Get()), WEXITSTATUS(status)));
}

}  // namespace

void StartProgramFile(const fs::path& program, const std::vector<std::string>& arguments, TStartFailure onFailure)
{
    if (!WineOnPath()) {
        Report(onFailure, kWineNotInstalled);
        return;
    }
    // Wine's output goes to a file without a name that no one else can
    // reach: the started program inherits it and may write long after.
    TFileDescriptor output(::memfd_create("wine-start", MFD_CLOEXEC));
    if (output.Get() < 0) {
        Report(onFailure, "Wine could not be started: " + SystemErrorText(errno));
        return;
    }
    std::vector<std::string> command{"wine", "start", "/unix", program.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = WineEnvironment();
    const std::string folder = program.parent_path().string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.Get(), STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t wine = 0;
    const int error = ::posix_spawnp(&wine, "wine", &actions, nullptr, Pointers(command).data(),
                                     Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        Report(onFailure, "Wine could not be started: " + SystemErrorText(error));
        return;
    }
    std::thread(Watch, wine, std::move(output), std::move(onFailure)).detach();
}

}  // namespace quorvex
