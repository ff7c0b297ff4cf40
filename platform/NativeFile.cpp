#include "platform/NativeFile.h"

#include "platform/Error.h"
#include "platform/FileStream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

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

private:
    int fd_;
};

// A buffer of size bytes, zero-filled. Its pages are backed by huge pages
// where the system offers them and mapped in one go: faulting them in one
// 4 KiB page at a time costs more than reading the file into them.
template <class Container>
Container Buffer(std::size_t size)
{
    Container data;
    data.reserve(size);
    constexpr std::uintptr_t kPage = 4096;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data.data()) + kPage - 1) & ~(kPage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data.data()) + data.capacity()) & ~(kPage - 1);
    if (end > begin) {
        // Hints: where they fail, the pages are mapped as they are touched.
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
    data.resize(size);
    return data;
}

template <>
TPageBuffer Buffer<TPageBuffer>(std::size_t size)
{
    return TPageBuffer(size);
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
    Container data = Buffer<Container>(static_cast<std::size_t>(info.st_size) + 1);
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

int ReplaceRefusal(const fs::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    if (S_ISDIR(info.st_mode))
        return EISDIR;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return EACCES;
    // The system's own reason: a read-only file system is not a permission.
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

bool NativeFileWritable(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error) && ReplaceRefusal(path) == 0;
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

TPageBuffer ReadNativeFileToPages(const fs::path& path)
{
    return ReadWhole<TPageBuffer>(path);
}

std::optional<TFileIdentity> WriteNativeFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    TFileWriteStream file(path.string());
    file.Write(bytes);
    return file.Commit();
}

}  // namespace quorvex
