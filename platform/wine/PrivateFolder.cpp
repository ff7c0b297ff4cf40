#include "platform/PrivateFolder.h"

#include "platform/Error.h"
#include "platform/wine/NativeFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace quorvex {

namespace {

// The path without the trailing separators that would make the system follow
// a link in its last component.
std::filesystem::path WithoutTrailingSeparators(const std::filesystem::path& path)
{
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string Refusal(const struct stat& info)
{
    if (!S_ISDIR(info.st_mode))
        return "It is not a folder but a link or a file.";
    if (info.st_uid != ::geteuid())
        return "It belongs to another user.";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "Other users can write into it.";
    return {};
}

// An open descriptor of the private folder at path, the link itself when it
// is one; -1 with the refusal when it is not a private folder.
int OpenPrivateDescriptor(const std::filesystem::path& path, std::string& refusal)
{
    const int descriptor = ::open(WithoutTrailingSeparators(path).c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        refusal = SystemErrorText(errno) + ".";
        return -1;
    }
    struct stat info {};
    refusal = ::fstat(descriptor, &info) == 0 ? Refusal(info) : SystemErrorText(errno) + ".";
    if (refusal.empty())
        return descriptor;
    ::close(descriptor);
    return -1;
}

}  // namespace

std::string PrivateFolderRefusal(const std::filesystem::path& path)
{
    std::string refusal;
    const int descriptor = OpenPrivateDescriptor(path, refusal);
    if (descriptor >= 0)
        ::close(descriptor);
    return refusal;
}

TFolderHandle TFolderHandle::OpenPrivate(const std::filesystem::path& path)
{
    std::string refusal;
    const int descriptor = OpenPrivateDescriptor(path, refusal);
    if (descriptor < 0)
        throw Error("Cannot use the folder \"" + path.string() + "\". " + refusal);
    return TFolderHandle(WithoutTrailingSeparators(path), descriptor);
}

std::optional<TFolderHandle> TFolderHandle::Open(const std::filesystem::path& path, int& error)
{
    const int descriptor = ::open(path.empty() ? "." : path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        error = errno;
        return std::nullopt;
    }
    return TFolderHandle(path, descriptor);
}

TFolderHandle::TFolderHandle(std::filesystem::path path, int descriptor)
    : path_(std::move(path)), descriptor_(descriptor)
{
}

TFolderHandle::TFolderHandle(TFolderHandle&& other) noexcept
    : path_(std::move(other.path_)), descriptor_(std::exchange(other.descriptor_, -1))
{
}

TFolderHandle& TFolderHandle::operator=(TFolderHandle&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        path_ = std::move(other.path_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

TFolderHandle::~TFolderHandle()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

std::optional<TFolderHandle> TFolderHandle::Duplicate(int& error) const
{
    const int descriptor = ::fcntl(descriptor_, F_DUPFD_CLOEXEC, 0);
    if (descriptor < 0) {
        error = errno;
        return std::nullopt;
    }
    return TFolderHandle(path_, descriptor);
}

bool TFolderHandle::StillAtItsPath() const
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(descriptor_, &opened) == 0 && ::lstat(path_.c_str(), &named) == 0 && S_ISDIR(named.st_mode)
           && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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
