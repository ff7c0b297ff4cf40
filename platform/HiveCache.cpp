#include "platform/HiveCache.h"

#include "platform/NativeFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <deque>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// What tells one state of a file from another without reading it.
struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedSeconds = 0;
    std::int64_t ModifiedNanoseconds = 0;
    std::int64_t ChangedSeconds = 0;
    std::int64_t ChangedNanoseconds = 0;

    bool operator==(const TFileIdentity&) const = default;
};

// Empty when the path is not a regular file that can be looked at.
std::optional<TFileIdentity> IdentityOf(const fs::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return TFileIdentity{static_cast<std::uint64_t>(info.st_dev),  static_cast<std::uint64_t>(info.st_ino),
                         static_cast<std::int64_t>(info.st_size),  info.st_mtim.tv_sec,
                         info.st_mtim.tv_nsec,                      info.st_ctim.tv_sec,
                         info.st_ctim.tv_nsec};
}

struct TCachedHive {
    fs::path File;
    TFileIdentity Identity;
    std::shared_ptr<const THiveSnapshot> Snapshot;
};

// user.reg and system.reg of the prefix in use, and of one chosen before it.
constexpr std::size_t kCachedFiles = 4;

class THiveCache {
public:
    std::shared_ptr<const THiveSnapshot> Current(const fs::path& file)
    {
        // The identity is taken before the read: should the file change while
        // it is read, the next use sees another identity and reads it again.
        const std::optional<TFileIdentity> identity = IdentityOf(file);
        {
            const std::lock_guard lock(mutex_);
            const auto cached = Find(file);
            if (cached != entries_.end() && identity && cached->Identity == *identity)
                return cached->Snapshot;
        }
        auto snapshot = std::make_shared<const THiveSnapshot>(TRegistryHive(ReadNativeText(file)));
        const std::lock_guard lock(mutex_);
        Erase(file);
        if (identity) {
            if (entries_.size() == kCachedFiles)
                entries_.pop_front();
            entries_.push_back({file, *identity, snapshot});
        }
        return snapshot;
    }

private:
    std::deque<TCachedHive>::iterator Find(const fs::path& file)
    {
        return std::ranges::find(entries_, file, &TCachedHive::File);
    }

    void Erase(const fs::path& file)
    {
        if (const auto cached = Find(file); cached != entries_.end())
            entries_.erase(cached);
    }

    std::mutex mutex_;
    std::deque<TCachedHive> entries_;
};

THiveCache& Cache()
{
    static THiveCache cache;
    return cache;
}

}  // namespace

std::optional<TTextRange> THiveSnapshot::FindKey(const std::u16string& path) const
{
    const std::lock_guard lock(mutex_);
    const auto known = keys_.find(path);
    if (known != keys_.end())
        return known->second;
    return keys_.emplace(path, hive_.FindKey(path)).first->second;
}

std::shared_ptr<const THiveSnapshot> CurrentHive(const fs::path& file)
{
    return Cache().Current(file);
}

}  // namespace quorvex
