#include "platform/wine/ProcFs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <sstream>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// A command line longer than this is cut: the checks look at its first
// arguments only. A longer list of locks is not looked at.
constexpr std::size_t kMaxProcFileSize = 64 * 1024;

// The file's first bytes up to one beyond the bound, so that a longer file
// shows; nothing when it cannot be read, as when the process ends while it is
// being read. Read a piece at a time: most of these files are a few bytes
// long, and every process is looked at.
std::optional<std::string> ReadProcFile(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> content(std::in_place);
    char piece[4096];
    while (content->size() <= kMaxProcFileSize) {
        const ssize_t got = ::read(fd, piece, std::min(sizeof piece, kMaxProcFileSize + 1 - content->size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            content.reset();
        if (got <= 0)
            break;
        content->append(piece, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return content;
}

// The file's first bytes up to the bound; empty when it cannot be read.
std::string ReadSmallFile(const fs::path& path)
{
    std::string content = ReadProcFile(path).value_or(std::string());
    content.resize(std::min(content.size(), kMaxProcFileSize));
    return content;
}

bool IsPidFolder(const fs::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    return !name.empty() && std::ranges::all_of(name, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string TProcessInfo::Name() const
{
    std::string name = ReadSmallFile(folder_ / "comm");
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    return name;
}

fs::path TProcessInfo::WorkingFolder() const
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink((folder_ / "cwd").c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof target)
        return {};
    return fs::path(std::string(target, static_cast<std::size_t>(length)));
}

std::vector<std::string> TProcessInfo::Arguments() const
{
    const std::string line = ReadSmallFile(folder_ / "cmdline");
    std::vector<std::string> arguments;
    std::size_t start = 0;
    while (start < line.size()) {
        std::size_t end = line.find('\0', start);
        if (end == std::string::npos)
            end = line.size();
        arguments.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

std::optional<uid_t> TProcessInfo::UserId() const
{
    return RealUserIdOf(ReadSmallFile(folder_ / "status"));
}

std::optional<uid_t> RealUserIdOf(std::string_view status)
{
    // "Uid:\t<real>\t<effective>\t<saved>\t<file system>"
    constexpr std::string_view kUid = "Uid:";
    for (std::size_t start = 0; start < status.size();) {
        const std::size_t end = std::min(status.find('\n', start), status.size());
        std::string_view line = status.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(kUid))
            continue;
        line.remove_prefix(kUid.size());
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        uid_t id = 0;
        const auto [last, error] = std::from_chars(line.data(), line.data() + line.size(), id);
        const bool whole = last == line.data() + line.size() || *last == '\t' || *last == ' ';
        if (error != std::errc() || last == line.data() || !whole)
            return std::nullopt;
        return id;
    }
    return std::nullopt;
}

bool AnyProcess(const std::function<bool(const TProcessInfo&)>& predicate)
{
    const std::string self = std::to_string(getpid());
    std::error_code error;
    for (fs::directory_iterator it("/proc", error), end; !error && it != end; it.increment(error)) {
        if (IsPidFolder(*it) && it->path().filename() != self && predicate(TProcessInfo(it->path())))
            return true;
    }
    return false;
}

std::vector<int> PosixWriteLockHolderIds(std::string_view locks)
{
    std::vector<int> holders;
    std::istringstream lines{std::string(locks)};
    for (std::string line; std::getline(lines, line);) {
        // "1: POSIX  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter has "->" after the number.
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid;
        fields >> number >> kind >> mode >> access >> pid;
        int id = 0;
        const auto [end, error] = std::from_chars(pid.data(), pid.data() + pid.size(), id);
        if (kind == "POSIX" && access == "WRITE" && error == std::errc() && end == pid.data() + pid.size() && id > 0)
            holders.push_back(id);
    }
    return holders;
}

std::optional<std::vector<TProcessInfo>> PosixWriteLockHolders()
{
    const std::optional<std::string> locks = ReadProcFile("/proc/locks");
    if (!locks || locks->size() > kMaxProcFileSize)
        return std::nullopt;
    std::vector<int> ids = PosixWriteLockHolderIds(*locks);
    std::ranges::sort(ids);
    const auto [first, last] = std::ranges::unique(ids);
    ids.erase(first, last);
    std::erase(ids, static_cast<int>(::getpid()));
    std::vector<TProcessInfo> holders;
    for (const int id : ids)
        holders.emplace_back(fs::path("/proc") / std::to_string(id));
    return holders;
}

}  // namespace quorvex
