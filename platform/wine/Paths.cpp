#include "platform/wine/Paths.h"

#include "platform/wine/CaseFolding.h"

#include <cctype>
#include <string_view>
#include <system_error>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool HasDrive(std::string_view path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The entry of folder whose name equals name without regard to case, or name
// itself when there is none.
fs::path MatchEntry(const fs::path& folder, const std::string& name)
{
    std::error_code error;
    if (fs::exists(folder / name, error))
        return folder / name;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (SameNameIgnoringCase(candidate, name))
            return it->path();
    }
    return folder / name;
}

}  // namespace

fs::path ResolvePath(const std::string& path, const fs::path& prefix)
{
    std::string_view rest = path;
    fs::path result;
    // ".." stops at the root of a drive (and of the file system), as on
    // Windows; a relative name may climb above the working folder.
    bool climbsAboveStart = false;
    if (HasDrive(path)) {
        const char drive[] = {static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))), ':', '\0'};
        result = MatchEntry(prefix / "dosdevices", drive);
        rest.remove_prefix(2);
    } else if (!path.empty() && IsSeparator(path[0])) {
        result = "/";
    } else {
        std::error_code error;
        result = fs::current_path(error);
        climbsAboveStart = true;
    }
    std::size_t depth = 0;  // components added to the starting folder
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::string_view name = rest.substr(0, end);
        if (name == "..") {
            if (depth > 0 || climbsAboveStart)
                result = result.parent_path();
            depth -= depth > 0 ? 1 : 0;
        } else if (!name.empty() && name != ".") {
            result = MatchEntry(result, std::string(name));
            ++depth;
        }
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return result;
}

}  // namespace quorvex
