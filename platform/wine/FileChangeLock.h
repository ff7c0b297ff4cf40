// Takes turns between Quorvex processes (and threads) that change one file:
// while one holds the file's change lock, no other reads the file to change
// it nor replaces it. The lock is an exclusive flock on ".<name>.quorvex-lock"
// beside the file, made when needed and removed when the lock is let go. A
// waiter that then gets the lock of a removed lock file sees that the name
// has another file, or none, and takes the lock anew: the rename that
// replaces the file itself never touches the lock. A thread that holds the
// lock of a file takes it again at once (the registry holds it around the
// file write that takes it too).
//
// Advisory: only Quorvex takes it. Linux only; Windows has its own in
// Win32FileSystem.
#pragma once

#include "platform/FileSystem.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace quorvex {

class TFileChangeLock {
public:
    // Locks the file that a write to path replaces (a symbolic link's
    // target). Throws FileCreateError ("Cannot create file "<shown>". ...")
    // with the system's reason when the lock file cannot be made, and
    // kInUseByAnotherQuorvex when the lock is not free within wait.
    TFileChangeLock(const std::filesystem::path& path, const std::string& shown,
                    std::chrono::milliseconds wait = kFileChangeWait);
    explicit TFileChangeLock(const std::filesystem::path& path, std::chrono::milliseconds wait = kFileChangeWait)
        : TFileChangeLock(path, path.string(), wait)
    {
    }
    ~TFileChangeLock();
    TFileChangeLock(const TFileChangeLock&) = delete;
    TFileChangeLock& operator=(const TFileChangeLock&) = delete;

private:
    std::string key_;  // the locked file, absolute
};

// The lock file of a file: ".<name>.quorvex-lock" in its folder.
std::filesystem::path ChangeLockFile(const std::filesystem::path& target);

}  // namespace quorvex
