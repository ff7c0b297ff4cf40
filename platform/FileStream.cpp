#include "platform/FileStream.h"

#include "platform/Error.h"
#include "platform/NativeFile.h"

#include <cerrno>
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

}  // namespace

TFileWriteStream::TFileWriteStream(std::string path)
    : path_(std::move(path)), target_(WriteTarget(path_).string()), temporary_(target_ + ".XXXXXX")
{
    if (const int refusal = ReplaceRefusal(target_)) {
        temporary_.clear();
        FailCreate(refusal);
    }
    const int fd = ::mkstemp(temporary_.data());
    if (fd < 0) {
        const int error = errno;
        temporary_.clear();
        FailCreate(error);
    }
    if (::fchmod(fd, ModeFor(target_)) != 0 || (file_ = ::fdopen(fd, "w+b")) == nullptr) {
        const int error = errno;
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

void TFileWriteStream::Commit()
{
    if (file_ == nullptr)
        FailWrite(EBADF);
    int error = 0;
    if (std::fflush(file_) != 0 || ::fsync(::fileno(file_)) != 0)
        error = errno;
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
}

}  // namespace quorvex
