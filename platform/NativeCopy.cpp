#include "platform/NativeCopy.h"

#include "platform/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

namespace quorvex {
namespace {

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::optional<TFileIdentity> IdentityOf(int result, const struct stat& info)
{
    if (result != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                         static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                         Nanoseconds(info.st_ctim)};
}

std::optional<TFileIdentity> OpenFileIdentity(int fd)
{
    struct stat info {};
    return IdentityOf(::fstat(fd, &info), info);
}

bool CloneWhileUnchanged(int source, const TFileIdentity& identity, const std::filesystem::path& target)
{
    if (OpenFileIdentity(source) != identity)
        return false;
    TFileWriteStream file(target.string());
    // A change made while the clone was taken may or may not be in it: the
    // clone counts only when the file was left alone throughout.
    if (!file.CloneFrom(source) || OpenFileIdentity(source) != identity)
        return false;
    file.Commit();
    return true;
}

}  // namespace

std::optional<TFileIdentity> NativeFileIdentity(const std::filesystem::path& path)
{
    struct stat info {};
    return IdentityOf(::stat(path.c_str(), &info), info);
}

bool CloneUnchangedNativeFile(const std::filesystem::path& source, const TFileIdentity& identity,
                              const std::filesystem::path& target)
{
    // Not blocking: whatever now has the source's name (a planted pipe) must
    // not hold the copy up; the identity check turns it away.
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    try {
        const bool cloned = CloneWhileUnchanged(fd, identity, target);
        ::close(fd);
        return cloned;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

}  // namespace quorvex
