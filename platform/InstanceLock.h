// A per-user lock that one process holds at a time, for the single-instance
// guard. The system releases it when the holder ends, however it ends, so a
// lock left by an instance that died is free again and nothing on disk has to
// be judged stale. Taking it writes nothing, so it costs no disk flush.
#pragma once

#include <filesystem>
#include <memory>

namespace quorvex {

class TInstanceLock {
public:
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // Takes the lock on the file (created for the user alone when missing;
    // a link in its place is refused). Null when another process holds it;
    // throws Error with the system's reason when it cannot be taken at all.
    static std::unique_ptr<TInstanceLock> TryTake(const std::filesystem::path& file);

private:
    explicit TInstanceLock(int descriptor) : descriptor_(descriptor) {}

    int descriptor_;
};

}  // namespace quorvex
