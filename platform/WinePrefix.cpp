#include "platform/WinePrefix.h"

#include "platform/ProcFs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

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
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

fs::path WinePrefix()
{
    if (!ChosenPrefix().empty())
        return ChosenPrefix();
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0')
        return prefix;
    return HomeFolder() / ".wine";
}

void UseWinePrefix(const fs::path& prefix)
{
    ChosenPrefix() = prefix;
}

bool WineserverRunning(const fs::path& prefix)
{
    const std::string serverFolder = ServerFolderName(prefix);
    if (serverFolder.empty())
        return false;
    return AnyProcess([&](const TProcessInfo& process) {
        return process.Name().starts_with("wineserver") && process.WorkingFolder().filename() == serverFolder;
    });
}

}  // namespace quorvex
