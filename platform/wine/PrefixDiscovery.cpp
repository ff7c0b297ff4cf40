#include "platform/wine/PrefixDiscovery.h"

#include "platform/wine/Paths.h"
#include "platform/wine/WinePrefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// A folder of prefixes is read this far at most, so that a huge or endless
// folder cannot hold up the start.
constexpr std::size_t kMaxEntriesPerFolder = 4096;

// Wine refuses a prefix that another user owns; so does the search, which
// keeps a folder planted in a shared place (/tmp) from being taken for one.
bool OwnedByUser(const fs::path& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_uid == getuid();
}

bool IsFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error) && OwnedByUser(path);
}

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error) && OwnedByUser(path);
}

bool SameFolder(const fs::path& a, const fs::path& b)
{
    std::error_code error;
    return fs::equivalent(a, b, error) || a.lexically_normal() == b.lexically_normal();
}

fs::path DataHome()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/')
        return data;
    return HomeFolder() / ".local" / "share";
}

// The prefixes directly inside a folder, in byte order of their names.
std::vector<fs::path> PrefixesIn(const fs::path& folder)
{
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end;
         !error && it != end && entries.size() < kMaxEntriesPerFolder; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    std::erase_if(entries, [](const fs::path& entry) { return !IsWinePrefix(entry); });
    return entries;
}

}  // namespace

bool IsWinePrefix(const fs::path& folder)
{
    return IsFolder(folder) && IsFile(folder / "system.reg") && IsFile(folder / "user.reg")
        && IsFolder(folder / "drive_c");
}

std::optional<fs::path> PrefixHolding(const fs::path& nativePath)
{
    if (!nativePath.is_absolute())
        return std::nullopt;
    fs::path folder = nativePath.lexically_normal();
    if (folder.filename().empty())
        folder = folder.parent_path();  // a trailing separator
    for (;; folder = folder.parent_path()) {
        if (IsWinePrefix(folder))
            return folder;
        if (folder == folder.parent_path())
            return std::nullopt;
    }
}

TPrefixState PrefixStateOf(const fs::path& folder)
{
    if (IsWinePrefix(folder))
        return TPrefixState::Usable;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(folder, error);
    return status.type() == fs::file_type::not_found ? TPrefixState::Missing : TPrefixState::NotAPrefix;
}

std::vector<fs::path> FrontEndFolders()
{
    const fs::path home = HomeFolder();
    const fs::path data = DataHome();
    return {
        data / "wineprefixes",
        data / "bottles" / "bottles",
        home / ".var" / "app" / "com.usebottles.bottles" / "data" / "bottles" / "bottles",
        home / "Games",
        home / ".PlayOnLinux" / "wineprefix",
    };
}

std::vector<fs::path> FrontEndPrefixes()
{
    std::vector<fs::path> prefixes;
    for (const fs::path& folder : FrontEndFolders()) {
        std::vector<fs::path> found = PrefixesIn(folder);
        prefixes.insert(prefixes.end(), found.begin(), found.end());
    }
    return prefixes;
}

bool PrefixHoldsFile(const fs::path& prefix, const std::string& windowsFile)
{
    return IsWinePrefix(prefix) && IsFile(ResolvePath(windowsFile, prefix));
}

TPrefixChoice ChooseMessengerPrefix(const fs::path& given, std::span<const std::string> windowsFiles)
{
    const auto choice = [](const fs::path& prefix, TPrefixReason reason) {
        return TPrefixChoice{prefix, reason, PrefixStateOf(prefix)};
    };
    if (!given.empty())
        return choice(given, TPrefixReason::Given);
    const fs::path environment = EnvironmentPrefix();
    const TPrefixReason environmentReason =
        EnvironmentNamesPrefix() ? TPrefixReason::Environment : TPrefixReason::Default;
    const auto holdsMessenger = [windowsFiles](const fs::path& prefix) {
        return std::ranges::any_of(windowsFiles, [&](const std::string& file) { return PrefixHoldsFile(prefix, file); });
    };
    if (!holdsMessenger(environment)) {
        for (const fs::path& prefix : FrontEndPrefixes()) {
            if (holdsMessenger(prefix))
                return choice(prefix, TPrefixReason::FrontEnd);
        }
    }
    return choice(environment, environmentReason);
}

std::optional<fs::path> UsePrefixOfFolder(const std::string& folderText)
{
    if (!folderText.starts_with('/'))
        return std::nullopt;
    const std::optional<fs::path> prefix = PrefixHolding(ResolvePath(folderText, WinePrefix()));
    if (!prefix || SameFolder(*prefix, WinePrefix()))
        return std::nullopt;
    UseWinePrefix(*prefix);
    return prefix;
}

}  // namespace quorvex
