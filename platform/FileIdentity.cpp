#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace quorvex {

namespace {

std::optional<TFileIdentity> IdentityOf(const struct stat& info)
{
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                         static_cast<std::int64_t>(info.st_size), info.st_mtim.tv_sec,
                         info.st_mtim.tv_nsec,                     info.st_ctim.tv_sec,
                         info.st_ctim.tv_nsec};
}

}  // namespace

bool TFileIdentity::SameContent(const TFileIdentity& other) const
{
    return Device == other.Device && Inode == other.Inode && Size == other.Size &&
           ModifiedSeconds == other.ModifiedSeconds && ModifiedNanoseconds == other.ModifiedNanoseconds;
}

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
