#include "platform/wine/WinePrefix.h"

#include "platform/PrivateFolder.h"
#include "platform/wine/ProcFs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// A folder that another user could have planted or could alter is not trusted.
bool OwnFolder(const fs::path& folder)
{
    return PrivateFolderRefusal(folder).empty();
}

enum class TServerLock { Held, Free, Unknown };

// Whether a process holds the write lock that a running wineserver keeps on
// the file "lock" in its server folder.
TServerLock ServerLock(const fs::path& folder)
{
    const int fd = ::open((folder / "lock").c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? TServerLock::Free : TServerLock::Unknown;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    const int result = ::fcntl(fd, F_GETLK, &probe);
    ::close(fd);
    if (result != 0)
        return TServerLock::Unknown;
    return probe.l_type == F_UNLCK ? TServerLock::Free : TServerLock::Held;
}

// A wineserver process of this user for the prefix. A running wineserver holds the lock in
// its server folder, so only the lock holders need looking at; all processes
// are where the list of locks cannot be read.
bool WineserverProcessRunning(const std::string& serverFolder)
{
    const auto isServer = [&](const TProcessInfo& process) {
        // The working folder first: one system call, where the others take several.
        // Another user's wineserver serves that user's prefix, never this one.
        return process.WorkingFolder().filename() == serverFolder && process.Name().starts_with("wineserver")
               && process.UserId() == ::getuid();
    };
    if (const auto holders = PosixWriteLockHolders())
        return std::ranges::any_of(*holders, isServer);
    return AnyProcess(isServer);
}

fs::path& ChosenPrefix()
{
    static fs::path chosen;
    return chosen;
}

}  // namespace

fs::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    const std::string home = CurrentUserAccount().Home;
    return home.empty() ? fs::path("/") : fs::path(home);
}

bool EnvironmentNamesPrefix()
{
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix != nullptr && *prefix != '\0';
}

fs::path EnvironmentPrefix()
{
    return EnvironmentNamesPrefix() ? fs::path(std::getenv("WINEPREFIX")) : HomeFolder() / ".wine";
}

fs::path WinePrefix()
{
    return ChosenPrefix().empty() ? EnvironmentPrefix() : ChosenPrefix();
}

void UseWinePrefix(const fs::path& prefix)
{
    ChosenPrefix() = prefix;
}

std::vector<fs::path> ServerFolderParents()
{
    std::vector<fs::path> parents{"/tmp/.wine-" + std::to_string(::getuid())};
    // The names alone: /tmp holds hundreds of entries on a busy system, and
    // the check that reads this runs before every registry change.
    DIR* tmp = ::opendir("/tmp");
    if (tmp == nullptr)
        return parents;
    while (const dirent* entry = ::readdir(tmp)) {
        if (std::string_view(entry->d_name).starts_with("wine-"))
            parents.push_back(fs::path("/tmp") / entry->d_name);
    }
    ::closedir(tmp);
    return parents;
}

std::string ServerFolderName(const fs::path& prefix)
{
    struct stat info {};
    if (stat(prefix.c_str(), &info) != 0)
        return {};
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return name;
}

bool WineserverRunning(const fs::path& prefix)
{
    const std::string serverFolder = ServerFolderName(prefix);
    if (serverFolder.empty())
        return false;
    bool lockSeen = false;
    for (const fs::path& parent : ServerFolderParents()) {
        const fs::path folder = parent / serverFolder;
        // Whether the folder is there first: most parents hold other prefixes' folders only.
        if (::access(folder.c_str(), F_OK) != 0 || !OwnFolder(folder) || !OwnFolder(parent))
            continue;
        switch (ServerLock(folder)) {
        case TServerLock::Held: return true;
        case TServerLock::Free: lockSeen = true; break;
        case TServerLock::Unknown: break;
        }
    }
    // Without a server folder whose lock could be looked at, every process is.
    return !lockSeen && WineserverProcessRunning(serverFolder);
}

}  // namespace quorvex
