#include "platform/NativeFile.h"

#include "platform/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// Closes the descriptor when it goes out of scope.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now and reports the result (a delayed write error shows here).
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// A temporary file beside the target; removed unless Commit renamed it.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const fs::path& target) : target_(target) {}
    ~TTemporaryFile()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    // Creates the file exclusively with the given mode; returns its descriptor or -1 with errno set.
    int Create(mode_t mode)
    {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = target_;
            candidate.replace_filename("." + target_.filename().string() + ".quorvex-" +
                                       std::to_string(::getpid()) + "-" + std::to_string(attempt));
            const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                path_ = candidate;
                return fd;
            }
            if (errno != EEXIST)
                return -1;
        }
        return -1;
    }

    bool Commit()
    {
        if (::rename(path_.c_str(), target_.c_str()) != 0)
            return false;
        path_.clear();
        return true;
    }

private:
    fs::path target_;
    fs::path path_;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

// The file that a write to path really replaces: a symbolic link's target.
fs::path WriteTarget(const fs::path& path)
{
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path target = fs::canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

std::optional<struct stat> StatOf(const fs::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return info;
}

// Why an existing file may not be replaced, or 0.
int RefusalReason(const fs::path& path, const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
        return EACCES;
    return 0;
}

template <class Container>
Container ReadWhole(const fs::path& path)
{
    const auto fail = [&path](int code) {
        return Error("Cannot open file \"" + path.string() + "\". " + SystemErrorText(code));
    };
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0)
        throw fail(errno);
    if (S_ISDIR(info.st_mode))
        throw fail(EISDIR);
    // One read for the size the file has now; more if it grows meanwhile.
    Container data(static_cast<std::size_t>(info.st_size) + 1, 0);
    std::size_t filled = 0;
    for (;;) {
        if (filled == data.size())
            data.resize(data.size() * 2);
        const ssize_t count = ::read(file.Get(), data.data() + filled, data.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw fail(errno);
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    data.resize(filled);
    return data;
}

}  // namespace

bool NativeFileWritable(const fs::path& path)
{
    const std::optional<struct stat> info = StatOf(path);
    return info && RefusalReason(path, *info) == 0;
}

std::string SystemErrorText(int code)
{
    return std::strerror(code);
}

std::vector<std::uint8_t> ReadNativeFile(const fs::path& path)
{
    return ReadWhole<std::vector<std::uint8_t>>(path);
}

std::string ReadNativeText(const fs::path& path)
{
    return ReadWhole<std::string>(path);
}

void WriteNativeFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    const fs::path target = WriteTarget(path);
    const std::optional<struct stat> existing = StatOf(target);
    if (existing) {
        if (const int reason = RefusalReason(target, *existing); reason != 0)
            throw FileCreateError(path.string(), SystemErrorText(reason));
    }
    TTemporaryFile temporary(target);
    TFileDescriptor file(temporary.Create(existing ? existing->st_mode & 07777 : 0666));
    if (file.Get() < 0)
        throw FileCreateError(path.string(), SystemErrorText(errno));
    if (existing)
        ::fchmod(file.Get(), existing->st_mode & 07777);
    if (!WriteAll(file.Get(), bytes) || ::fsync(file.Get()) != 0 || !file.Close())
        throw Error("Cannot write file \"" + path.string() + "\". " + SystemErrorText(errno));
    if (!temporary.Commit())
        throw FileCreateError(path.string(), SystemErrorText(errno));
}

}  // namespace quorvex

