#include "platform/ProcFs.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// A command line longer than this is cut: the checks look at its first
// arguments only.
constexpr std::size_t kMaxProcFileSize = 64 * 1024;

// The file's first bytes up to the bound; empty when it cannot be read, as
// when the process ends while it is being read. Read a piece at a time: most
// of these files are a few bytes long, and every process is looked at.
std::string ReadSmallFile(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string content;
    char piece[4096];
    while (content.size() < kMaxProcFileSize) {
        const ssize_t got = ::read(fd, piece, std::min(sizeof piece, kMaxProcFileSize - content.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            content.clear();
            break;
        }
        if (got == 0)
            break;
        content.append(piece, static_cast<std::size_t>(got));
    }
    ::close(fd);
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

}  // namespace quorvex
