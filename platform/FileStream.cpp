#include "platform/FileStream.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvex {
namespace {

// The mode a newly created file gets: the target's own mode when it exists
// (replacing a file keeps its permissions), else rw for all less the umask.
mode_t ModeFor(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);  // reading the umask means setting it: put it straight back
    ::umask(mask);
    return 0666 & ~mask;
}

// The file that a write replaces: a symbolic link is followed, so the file it
// points to is replaced and the link stays.
std::string ResolvedTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error))
        return path;
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

// Why an existing target cannot be replaced, as an errno value; 0 when it can
// or does not exist. A file without write permission is read-only, as on
// Windows, even for the superuser.
int ReplaceRefusal(const std::string& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0)
        return 0;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if ((info.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
        return EACCES;
    return 0;
}

}  // namespace

TFileWriteStream::TFileWriteStream(std::string path)
    : path_(std::move(path)), target_(ResolvedTarget(path_)), temporary_(target_ + ".XXXXXX")
{
    if (const int refusal = ReplaceRefusal(target_)) {
        temporary_.clear();
        Fail(refusal);
    }
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        Fail(error);
    }
    if (::fchmod(fd, ModeFor(target_)) != 0 || (file_ = ::fdopen(fd, "w+b")) == nullptr) {
        const int error = errno;
        ::close(fd);
        Discard();
        Fail(error);
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
}

void TFileWriteStream::Fail(int error) const
{
    throw Error("Cannot create file \"" + path_ + "\". " + std::strerror(error));
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
        Fail(EBADF);
    if (bytes.empty())
        return;
    if (::fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0
        || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        Fail(errno);
    position_ += bytes.size();
    if (position_ > size_)
        size_ = position_;
}

void TFileWriteStream::Commit()
{
    if (file_ == nullptr)
        Fail(EBADF);
    int error = 0;
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
        error = errno;
    if (std::fclose(file_) != 0 && error == 0)
        error = errno;
    file_ = nullptr;
    if (error == 0 && std::rename(temporary_.c_str(), target_.c_str()) != 0)
        error = errno;
    if (error != 0) {
        Discard();
        Fail(error);
    }
    temporary_.clear();
}

}  // namespace quorvex
