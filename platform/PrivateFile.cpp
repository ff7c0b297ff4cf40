// The POSIX implementation of the private folder and files.
#include "platform/PrivateFile.h"

#include "platform/Error.h"
#include "platform/NativeFile.h"
#include "platform/PrivateFolder.h"
#include "platform/WinePrefix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

constexpr int kCreateAttempts = 100;

std::string Quoted(const fs::path& path)
{
    return "\"" + path.string() + "\"";
}

std::string UserName()
{
    if (std::string name = CurrentUserAccount().Name; !name.empty())
        return name;
    const char* user = std::getenv("USER");
    return user != nullptr ? user : "";
}

// The folder that a variable names when it is an absolute path.
fs::path AbsoluteFolderFrom(const char* variable)
{
    const char* value = std::getenv(variable);
    if (value == nullptr || *value != '/')
        return {};
    return value;
}

fs::path CacheFolder()
{
    if (fs::path cache = AbsoluteFolderFrom("XDG_CACHE_HOME"); !cache.empty())
        return cache;
    return HomeFolder() / ".cache";
}

// The temporary folders that Wine gives the user in the prefix, newest
// layout last (Wine 8 makes users/<user>/Temp).
std::vector<fs::path> WineTemporaryFolders()
{
    const std::string user = UserName();
    if (user.empty())
        return {};
    const fs::path profile = WinePrefix() / "drive_c" / "users" / user;
    return {profile / "Temp", profile / "AppData" / "Local" / "Temp"};
}

std::string RandomPart()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string part(6, ' ');
    for (char& letter : part)
        letter = kLetters[pick(generator)];
    return part;
}

}  // namespace

fs::path PrivateTemporaryFolder()
{
    for (const fs::path& folder : WineTemporaryFolders()) {
        if (PrivateFolderRefusal(folder).empty())
            return folder;
    }
    const fs::path folder = CacheFolder() / "quorvex";
    std::error_code ignored;  // a parent that cannot be made shows in the refusal
    fs::create_directories(folder.parent_path(), ignored);
    if (const std::string refusal = EnsurePrivateFolder(folder); !refusal.empty())
        throw Error("Cannot use the temporary folder " + Quoted(folder) + ". " + refusal);
    return folder;
}

TPrivateFile TPrivateFile::Create(const fs::path& folder, const std::string& prefix, const std::string& suffix)
{
    for (int attempt = 0;; ++attempt) {
        const fs::path path = folder / (prefix + RandomPart() + suffix);
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0)
            return TPrivateFile(path, descriptor);
        if (errno != EEXIST || attempt == kCreateAttempts)
            throw FileCreateError(path.string(), SystemErrorText(errno));
    }
}

TPrivateFile TPrivateFile::CreateBeside(const fs::path& target)
{
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw FileCreateError(target.string(), SystemErrorText(EISDIR));
    return Create(target.parent_path(), target.filename().string() + ".", ".part");
}

TPrivateFile::TPrivateFile(fs::path path, int descriptor) : path_(std::move(path)), descriptor_(descriptor)
{
}

TPrivateFile::TPrivateFile(TPrivateFile&& other) noexcept
    : path_(std::move(other.path_)), descriptor_(std::exchange(other.descriptor_, -1))
{
    other.path_.clear();
}

TPrivateFile& TPrivateFile::operator=(TPrivateFile&& other) noexcept
{
    if (this != &other) {
        Discard();
        path_ = std::move(other.path_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        other.path_.clear();
    }
    return *this;
}

TPrivateFile::~TPrivateFile()
{
    Discard();
}

void TPrivateFile::Write(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw Error("Cannot write file " + Quoted(path_) + ". " + SystemErrorText(errno));
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
}

void TPrivateFile::RenameTo(const fs::path& target)
{
    if (::rename(path_.c_str(), target.c_str()) != 0)
        throw Error("Cannot rename " + Quoted(path_) + " to " + Quoted(target) + ". " + SystemErrorText(errno));
    path_ = target;
    Close();
    path_.clear();
}

void TPrivateFile::RenameToNew(const fs::path& target)
{
    // A hard link is made only where the name is free; the old name then goes.
    if (::link(path_.c_str(), target.c_str()) != 0)
        throw Error("Cannot rename " + Quoted(path_) + " to " + Quoted(target) + ". " + SystemErrorText(errno));
    ::unlink(path_.c_str());
    path_ = target;
    Close();
    path_.clear();
}

void TPrivateFile::Discard()
{
    if (descriptor_ < 0)
        return;
    struct stat opened {};
    struct stat named {};
    const bool same = ::fstat(descriptor_, &opened) == 0 && ::lstat(path_.c_str(), &named) == 0
                      && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    if (same)
        ::unlink(path_.c_str());
    Close();
    path_.clear();
}

void TPrivateFile::Close()
{
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1));
}

}  // namespace quorvex
