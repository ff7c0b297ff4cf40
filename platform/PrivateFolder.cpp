#include "platform/PrivateFolder.h"

#include "platform/NativeFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace quorvex {

std::string PrivateFolderRefusal(const std::filesystem::path& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return SystemErrorText(errno) + ".";
    if (!S_ISDIR(info.st_mode))
        return "It is not a folder but a link or a file.";
    if (info.st_uid != ::geteuid())
        return "It belongs to another user.";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "Other users can write into it.";
    return {};
}

std::string EnsurePrivateFolder(const std::filesystem::path& path)
{
    if (::mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return SystemErrorText(errno) + ".";
    return PrivateFolderRefusal(path);
}

std::string CurrentUserId()
{
    return std::to_string(::geteuid());
}

TUserAccount CurrentUserAccount()
{
    constexpr std::size_t kLargestEntry = std::size_t{1} << 20;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    int result = 0;
    while ((result = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE
           && buffer.size() < kLargestEntry)
        buffer.resize(buffer.size() * 2);
    if (result != 0 || found == nullptr)
        return {};
    return {entry.pw_name != nullptr ? entry.pw_name : "", entry.pw_dir != nullptr ? entry.pw_dir : ""};
}

}  // namespace quorvex
