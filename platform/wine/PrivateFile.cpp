// The POSIX implementation of the private folder and files.
#include "platform/PrivateFile.h"

#include "platform/Error.h"
#include "platform/wine/NativeFile.h"
#include "platform/PrivateFolder.h"
#include "platform/wine/WinePrefix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// The folder at path, opened for new files in it; FileCreateError for the
// file fileName in it when it cannot be.
TFolderHandle OpenFolder(const fs::path& folder, const std::string& fileName)
{
    int error = 0;
    std::optional<TFolderHandle> handle = TFolderHandle::Open(folder, error);
    if (!handle)
        throw FileCreateError((folder / fileName).string(), SystemErrorText(error));
    return std::move(*handle);
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

TPrivateFile TPrivateFile::Create(const TFolderHandle& folder, const std::string& prefix, const std::string& suffix)
{
    int error = 0;
    std::optional<TFolderHandle> own = folder.Duplicate(error);
    for (int attempt = 0;; ++attempt) {
        const std::string name = NewName(prefix, suffix);
        if (!own)
            throw FileCreateError((folder.Path() / name).string(), SystemErrorText(error));
        const int descriptor =
            ::openat(own->Descriptor(), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor >= 0)
            return TPrivateFile(std::move(*own), name, descriptor);
        error = errno;
        if (error != EEXIST || attempt == kCreateAttempts)
            throw FileCreateError((folder.Path() / name).string(), SystemErrorText(error));
    }
}

TPrivateFile TPrivateFile::Create(const fs::path& folder, const std::string& prefix, const std::string& suffix)
{
    return Create(OpenFolder(folder, NewName(prefix, suffix)), prefix, suffix);
}

TPrivateFile TPrivateFile::CreateBeside(const TFolderHandle& folder, const std::string& name)
{
    struct stat info {};
    if (::fstatat(folder.Descriptor(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode))
        throw FileCreateError((folder.Path() / name).string(), SystemErrorText(EISDIR));
    return Create(folder, name + ".", ".part");
}

TPrivateFile TPrivateFile::CreateBeside(const fs::path& target)
{
    return CreateBeside(OpenFolder(target.parent_path(), target.filename().string()), target.filename().string());
}

TPrivateFile::TPrivateFile(TFolderHandle folder, std::string name, int descriptor)
    : folder_(std::move(folder)), name_(std::move(name)), path_(folder_->Path() / name_), descriptor_(descriptor)
{
}

std::string TPrivateFile::TryWrite(std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor_, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return SystemErrorText(errno);
        bytes = bytes.subspan(static_cast<std::size_t>(count));
    }
    return {};
}

std::uint64_t TPrivateFile::Position() const
{
    const off_t position = ::lseek(descriptor_, 0, SEEK_CUR);
    return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

std::uint64_t TPrivateFile::Size() const
{
    struct stat status {};
    return ::fstat(descriptor_, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

void TPrivateFile::CutBack(std::uint64_t position)
{
    const auto offset = static_cast<off_t>(position);
    if (::ftruncate(descriptor_, offset) != 0 || ::lseek(descriptor_, offset, SEEK_SET) != offset)
        throw Error("Cannot write file " + Quoted(path_) + ". " + SystemErrorText(errno));
}

namespace {

// Reads a descriptor at positions of its own (pread), leaving the
// descriptor's position to the writer.
class TPositionedBlocks final : public TFileBlocks {
public:
    explicit TPositionedBlocks(int descriptor) : descriptor_(descriptor) {}

    bool Rewind() override
    {
        offset_ = 0;
        return true;
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        for (;;) {
            const ssize_t count = ::pread(descriptor_, block.data(), block.size(), offset_);
            if (count >= 0) {
                offset_ += count;
                return static_cast<std::size_t>(count);
            }
            if (errno != EINTR)
                return std::nullopt;
        }
    }

private:
    int descriptor_;
    off_t offset_ = 0;
};

}  // namespace

std::unique_ptr<TFileBlocks> TPrivateFile::ReadBlocks() const
{
    return std::make_unique<TPositionedBlocks>(descriptor_);
}

void TPrivateFile::RenameTo(const std::string& name)
{
    const int folder = folder_.value().Descriptor();  // none once the file is closed
    if (::renameat(folder, name_.c_str(), folder, name.c_str()) != 0)
        throw Error(RenameError(name));
    Close();
}

void TPrivateFile::RenameToNew(const std::string& name)
{
    // A hard link is made only where the name is free; the old name then goes.
    const int folder = folder_.value().Descriptor();  // none once the file is closed
    if (::linkat(folder, name_.c_str(), folder, name.c_str(), 0) != 0)
        throw Error(RenameError(name));
    ::unlinkat(folder, name_.c_str(), 0);
    Close();
}

std::string TPrivateFile::RenameError(const std::string& name) const
{
    const int error = errno;
    return "Cannot rename " + Quoted(path_) + " to " + Quoted(folder_->Path() / name) + ". " + SystemErrorText(error);
}

void TPrivateFile::Discard()
{
    if (descriptor_ < 0)
        return;
    struct stat opened {};
    struct stat named {};
    const bool same = ::fstat(descriptor_, &opened) == 0
                      && ::fstatat(folder_->Descriptor(), name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0
                      && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    if (same)
        ::unlinkat(folder_->Descriptor(), name_.c_str(), 0);
    Close();
}

// Closes the file and lets go of its folder: nothing is left to delete.
void TPrivateFile::Close()
{
    if (descriptor_ >= 0)
        ::close(std::exchange(descriptor_, -1));
    folder_.reset();
    name_.clear();
    path_.clear();
}

}  // namespace quorvex
