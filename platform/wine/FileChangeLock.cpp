#include "platform/wine/FileChangeLock.h"

#include "platform/Error.h"
#include "platform/wine/NativeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

using TClock = std::chrono::steady_clock;

// A lock this process holds, or that one of its threads is taking.
struct THeldLock {
    std::thread::id Owner;
    int Depth = 0;
    int Descriptor = -1;  // -1 while its owner waits for the other processes
    fs::path File;
};

// The locks of this process: its threads take turns here, as the processes
// do through the lock files (a flock of this process would shut out its own
// threads, never let them nest).
struct TLockTable {
    std::mutex Mutex;
    std::condition_variable Released;
    std::map<std::string, THeldLock> Held;
};

TLockTable& Locks()
{
    static TLockTable table;
    return table;
}

[[noreturn]] void Fail(const std::string& shown, const std::string& reason)
{
    throw FileCreateError(shown, reason);
}

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Waits for the exclusive flock of the open file until the deadline; false
// when another holder keeps it.
bool Flock(int fd, TClock::time_point deadline, const std::string& shown)
{
    for (auto pause = std::chrono::milliseconds(1);;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            Fail(shown, SystemErrorText(errno));
        if (TClock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
}

// Opens the lock file (made if missing) and takes its flock; the descriptor.
int LockAcrossProcesses(const fs::path& lockFile, const std::string& shown, TClock::time_point deadline)
{
    for (;;) {
        // Never through a link nor blocking on a pipe that someone put there.
        const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0)
            Fail(shown, SystemErrorText(errno));
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            Fail(shown, "\"" + lockFile.string() + "\" is not a regular file.");
        }
        bool locked = false;
        try {
            locked = Flock(fd, deadline, shown);
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (!locked) {
            ::close(fd);
            Fail(shown, kInUseByAnotherQuorvex);
        }
        struct stat named {};
        if (::lstat(lockFile.c_str(), &named) == 0 && SameFile(named, held))
            return fd;
        // Its last holder removed it: the lock now is the file of that name.
        ::close(fd);
    }
}

void Release(int fd, const fs::path& lockFile)
{
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && ::lstat(lockFile.c_str(), &named) == 0 && SameFile(held, named))
        ::unlink(lockFile.c_str());
    ::close(fd);
}

}  // namespace

fs::path ChangeLockFile(const fs::path& target)
{
    return target.parent_path() / ("." + target.filename().string() + ".quorvex-lock");
}

TFileChangeLock::TFileChangeLock(const fs::path& path, const std::string& shown, std::chrono::milliseconds wait)
{
    const fs::path target = fs::absolute(WriteTarget(path)).lexically_normal();
    const auto deadline = TClock::now() + wait;
    const auto self = std::this_thread::get_id();
    TLockTable& locks = Locks();
    std::unique_lock guard(locks.Mutex);
    for (auto held = locks.Held.find(target.string()); held != locks.Held.end();
         held = locks.Held.find(target.string())) {
        if (held->second.Owner == self) {
            ++held->second.Depth;
            key_ = target.string();
            return;
        }
        if (locks.Released.wait_until(guard, deadline) == std::cv_status::timeout
            && locks.Held.contains(target.string()))
            Fail(shown, kInUseByAnotherQuorvex);
    }
    const fs::path lockFile = ChangeLockFile(target);
    locks.Held[target.string()] = THeldLock{self, 1, -1, lockFile};
    guard.unlock();
    int fd = -1;
    try {
        fd = LockAcrossProcesses(lockFile, shown, deadline);
    } catch (...) {
        guard.lock();
        locks.Held.erase(target.string());
        locks.Released.notify_all();
        throw;
    }
    guard.lock();
    locks.Held[target.string()].Descriptor = fd;
    key_ = target.string();
}

TFileChangeLock::~TFileChangeLock()
{
    TLockTable& locks = Locks();
    const std::lock_guard guard(locks.Mutex);
    const auto held = locks.Held.find(key_);
    if (--held->second.Depth > 0)
        return;
    Release(held->second.Descriptor, held->second.File);
    locks.Held.erase(held);
    locks.Released.notify_all();
}

}  // namespace quorvex
