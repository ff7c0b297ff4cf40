#include "platform/wine/FileIdentity.h"

#include <sys/stat.h>

namespace quorvex {

namespace {

std::int64_t Nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

std::optional<TFileIdentity> IdentityOf(const struct stat& info)
{
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                         static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                         Nanoseconds(info.st_ctim)};
}

}  // namespace

std::optional<TFileIdentity> FileIdentity(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

std::optional<TFileIdentity> FileIdentity(int descriptor)
{
    struct stat info {};
    if (::fstat(descriptor, &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

}  // namespace quorvex
