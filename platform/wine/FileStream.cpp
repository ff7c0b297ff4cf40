#include "platform/wine/FileStream.h"

#include "platform/Error.h"
#include "platform/wine/NativeFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporaryMark = ".quorvex-";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX of mkstemp

// The temporary file for a target, recognisable as Quorvex's:
// "<folder>/.<name>.quorvex-XXXXXX".
std::string TemporaryPattern(const fs::path& target)
{
    return (target.parent_path() / ("." + target.filename().string() + std::string(kTemporaryMark)))
               .string() + std::string(kUniqueLength, 'X');
}

bool IsUniqueSuffix(std::string_view text)
{
    return text.size() == kUniqueLength && std::ranges::all_of(text, [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
           });
}

// Removes the regular file at path unless someone holds its flock.
void RemoveUnlessHeld(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
        && ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
        ::unlink(path.c_str());
    ::close(fd);
}

// Removes the temporary files that an earlier write of the target left when
// it was cut short (a crash, a power cut): regular files named as this
// stream names them, nothing else. A live writer holds the flock of its
// temporary file: a file whose flock cannot be taken is left alone.
void RemoveLeftovers(const fs::path& target)
{
    const std::string prefix = "." + target.filename().string() + std::string(kTemporaryMark);
    std::error_code error;
    for (fs::directory_iterator it(target.parent_path(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) && IsUniqueSuffix(std::string_view(name).substr(prefix.size())))
            RemoveUnlessHeld(it->path());
    }
}

// Gives the new file the target's owner, group and mode, so that replacing a
// file changes only its content; a new target gets rw for all less the umask.
// Only the superuser may give a file away: for anyone else an owner that
// cannot be kept is left as the user, who then owns the new file.
int TakeOverIdentity(int fd, const std::string& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        const mode_t mask = ::umask(0);  // reading the umask means setting it: put it straight back
        ::umask(mask);
        return ::fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
    }
    // The owner first: changing it clears the set-user and set-group bits.
    if ((info.st_uid != ::geteuid() || info.st_gid != ::getegid()) && ::fchown(fd, info.st_uid, info.st_gid) != 0 &&
        errno != EPERM)
        return errno;
    return ::fchmod(fd, info.st_mode & 07777) == 0 ? 0 : errno;
}

}  // namespace

TFileWriteStream::TFileWriteStream(std::string path, std::chrono::milliseconds lockWait)
    : path_(std::move(path)), target_(WriteTarget(path_).string()), temporary_(TemporaryPattern(target_))
{
    if (const int refusal = ReplaceRefusal(target_)) {
        temporary_.clear();
        FailCreate(refusal);
    }
    lock_.emplace(target_, path_, lockWait);
    RemoveLeftovers(target_);
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        FailCreate(error);
    }
    // Held while the file is written, so that no leftover removal takes it.
    int error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? TakeOverIdentity(fd, target_) : errno;
    if (error == 0 && (file_ = ::fdopen(fd, "w+b")) == nullptr)
        error = errno;
    if (error != 0) {
        ::close(fd);
        Discard();
        FailCreate(error);
    }
}

TFileWriteStream::~TFileWriteStream()
{
    Discard();
}

void TFileWriteStream::Discard()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    lock_.reset();
}

void TFileWriteStream::FailCreate(int error) const
{
    throw FileCreateError(path_, SystemErrorText(error));
}

void TFileWriteStream::FailWrite(int error)
{
    Discard();
    throw Error("Cannot write file \"" + path_ + "\". " + SystemErrorText(error));
}

void TFileWriteStream::Seek(std::size_t offset)
{
    position_ = offset;
}

std::size_t TFileWriteStream::Read(std::span<std::uint8_t> buffer)
{
    if (file_ == nullptr || position_ >= size_)
        return 0;
    if (::fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0)
        return 0;
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), file_);
    position_ += count;
    return count;
}

void TFileWriteStream::Write(std::span<const std::uint8_t> bytes)
{
    if (file_ == nullptr)
        FailWrite(EBADF);
    if (bytes.empty())
        return;
    if (::fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0
        || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        FailWrite(errno);
    position_ += bytes.size();
    if (position_ > size_)
        size_ = position_;
}

bool TFileWriteStream::CloneFrom(int source)
{
    struct stat info {};
    if (file_ == nullptr || size_ != 0 || ::fstat(source, &info) != 0 || !S_ISREG(info.st_mode)
        || ::ioctl(::fileno(file_), FICLONE, source) != 0)
        return false;
    size_ = static_cast<std::size_t>(info.st_size);
    position_ = 0;
    return true;
}

std::optional<TFileIdentity> TFileWriteStream::Commit()
{
    if (file_ == nullptr)
        FailWrite(EBADF);
    int error = 0;
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
        error = errno;
    const std::optional<TFileIdentity> written = error == 0 ? FileIdentity(::fileno(file_)) : std::nullopt;
    if (std::fclose(file_) != 0 && error == 0)
        error = errno;
    file_ = nullptr;
    if (error != 0)
        FailWrite(error);
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error = errno;
        Discard();
        FailCreate(error);
    }
    temporary_.clear();
    // Taken while the lock holds: the file written here, unless someone who
    // takes no lock has put another in place or written this one.
    std::optional<TFileIdentity> placed = FileIdentity(target_);
    lock_.reset();
    if (!written || !placed || !placed->SameContent(*written))
        return std::nullopt;
    return placed;
}

}  // namespace quorvex
