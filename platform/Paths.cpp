#include "platform/Paths.h"

#include "platform/Text.h"

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
    if (fs::exists(folder / name, error) || name == "." || name == "..")
        return folder / name;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string candidate = it->path().filename().string();
        if (EqualsNoCase(candidate, name))
            return it->path();
    }
    return folder / name;
}

}  // namespace

fs::path ResolvePath(const std::string& path, const fs::path& prefix)
{
    std::string_view rest = path;
    fs::path result;
    if (HasDrive(path)) {
        const char drive[] = {static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))), ':', '\0'};
        result = MatchEntry(prefix / "dosdevices", drive);
        rest.remove_prefix(2);
    } else if (!path.empty() && IsSeparator(path[0])) {
        result = "/";
    } else {
        std::error_code error;
        result = fs::current_path(error);
    }
    while (!rest.empty()) {
        std::size_t end = 0;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        if (end > 0)
            result = MatchEntry(result, std::string(rest.substr(0, end)));
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
    }
    return result;
}

}  // namespace quorvex
