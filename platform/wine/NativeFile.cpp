#include "platform/wine/NativeFile.h"

#include "platform/Error.h"
#include "platform/wine/FileDescriptor.h"
#include "platform/wine/FileStream.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

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

// No bound on what ReadNativeFile reads but the memory at hand.
constexpr std::uintmax_t kNoSizeLimit = std::numeric_limits<std::size_t>::max() / 2;

// What a file that is not a regular one is, for the error that refuses it.
std::string NotARegularFile(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "Not a regular file (a pipe)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "Not a regular file (a device)";
    if (S_ISSOCK(mode))
        return "Not a regular file (a socket)";
    return "Not a regular file";
}

std::string SizeText(std::uintmax_t bytes)
{
    constexpr std::uintmax_t kMiB = std::uintmax_t{1} << 20;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB" : std::to_string(bytes) + " bytes";
}

// Reads a regular file whole, at most limit bytes. Opening never waits (a
// pipe without a writer, a device), and anything but a regular file is
// refused before a byte is read; so is a file larger than limit, before its
// size is allocated.
template <class Container>
Container ReadWhole(const fs::path& path, std::uintmax_t limit)
{
    const auto fail = [&path](const std::string& reason) {
        return Error("Cannot open file \"" + path.string() + "\". " + reason);
    };
    TFileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0)
        throw fail(SystemErrorText(errno));
    if (S_ISDIR(info.st_mode))
        throw fail(SystemErrorText(EISDIR));
    if (!S_ISREG(info.st_mode))
        throw fail(NotARegularFile(info.st_mode));
    const auto tooLarge = [&] { return fail("File too large (more than " + SizeText(limit) + ")"); };
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > limit)
        throw tooLarge();
    // One read for the size the file has now; more if it grows meanwhile, up
    // to one byte past the limit, which tells a file grown too large.
    const std::uintmax_t bound = limit + 1;
    Container data = Buffer<Container>(static_cast<std::size_t>(size + 1));
    std::size_t filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled == bound)
                throw tooLarge();
            data.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(data.size() * std::uintmax_t{2}, bound)));
        }
        const ssize_t count = ::read(file.Get(), data.data() + filled, data.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw fail(SystemErrorText(errno));
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
    return ReadWhole<std::vector<std::uint8_t>>(path, kNoSizeLimit);
}

std::string ReadNativeText(const fs::path& path)
{
    return ReadWhole<std::string>(path, kNoSizeLimit);
}

TPageBuffer ReadNativeFileToPages(const fs::path& path, std::uintmax_t limit)
{
    return ReadWhole<TPageBuffer>(path, limit);
}

std::optional<TFileIdentity> WriteNativeFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    TFileWriteStream file(path.string());
    file.Write(bytes);
    return file.Commit();
}

bool ReplaceUnchangedNativeFile(const fs::path& path, std::span<const std::uint8_t> bytes,
                                const TFileIdentity& identity)
{
    TFileWriteStream file(path.string());  // holds the change lock from here on
    if (FileIdentity(path) != identity)
        return false;
    file.Write(bytes);
    file.Commit();
    return true;
}

}  // namespace quorvex
