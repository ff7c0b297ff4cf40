#include "platform/wine/HiveCache.h"

#include "platform/wine/NativeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <utility>

namespace quorvex {

namespace fs = std::filesystem;

namespace {

// The file that a snapshot came from, kept open: while it is, the file
// system gives its number to no other file, so a file found with its
// identity is that very file (a number freed by a rename is soon given to
// the next new file, which may have the same size and times).
class TPinnedFile {
public:
    // Pins the file at path when it still has identity; Pinned() tells.
    TPinnedFile(const fs::path& path, const TFileIdentity& identity)
        : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC))
    {
        if (fd_ >= 0 && FileIdentity(fd_) != identity)
            Close();
    }
    ~TPinnedFile() { Close(); }
    TPinnedFile(TPinnedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TPinnedFile& operator=(TPinnedFile&& other) noexcept
    {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    bool Pinned() const { return fd_ >= 0; }

private:
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    int fd_;
};

struct TCachedHive {
    fs::path File;
    TFileIdentity Identity;
    std::shared_ptr<const THiveSnapshot> Snapshot;
    TPinnedFile Pin;
};

// user.reg and system.reg of the prefix in use, and of one chosen before it.
constexpr std::size_t kCachedFiles = 4;

class THiveCache {
public:
    std::shared_ptr<const THiveSnapshot> Current(const fs::path& file)
    {
        // The identity is taken before the read: should the file change while
        // it is read, the next use sees another identity and reads it again.
        const std::optional<TFileIdentity> identity = FileIdentity(file);
        {
            const std::lock_guard lock(mutex_);
            const auto cached = Find(file);
            if (cached != entries_.end() && identity && cached->Identity == *identity)
                return cached->Snapshot;
        }
        auto snapshot = std::make_shared<const THiveSnapshot>(ReadNativeFileToPages(file, kMaxRegistryFileSize));
        if (identity)
            Keep(file, *identity, snapshot);
        else
            Forget(file);
        return snapshot;
    }

    // Remembers the snapshot while the file keeps identity; a file that has
    // already changed is forgotten.
    void Keep(const fs::path& file, const TFileIdentity& identity, std::shared_ptr<const THiveSnapshot> snapshot)
    {
        TPinnedFile pin(file, identity);
        const std::lock_guard lock(mutex_);
        Erase(file);
        if (!pin.Pinned())
            return;
        if (entries_.size() == kCachedFiles)
            entries_.pop_front();
        entries_.push_back({file, identity, std::move(snapshot), std::move(pin)});
    }

private:
    void Forget(const fs::path& file)
    {
        const std::lock_guard lock(mutex_);
        Erase(file);
    }

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

std::string_view TextOf(const std::variant<TPageBuffer, TRegistryHive>& text)
{
    if (const auto* read = std::get_if<TPageBuffer>(&text))
        return read->View();
    return std::get<TRegistryHive>(text).Text();
}

}  // namespace

THiveSnapshot::THiveSnapshot(TPageBuffer text) : text_(std::move(text)), searches_(TextOf(text_)) {}

THiveSnapshot::THiveSnapshot(TRegistryHive hive)
    : text_(std::move(hive)), searches_(TextOf(text_)), keys_(std::get<TRegistryHive>(text_).TakeKnownKeys())
{
}

TRegistryHive THiveSnapshot::TakeHive()
{
    auto* hive = std::get_if<TRegistryHive>(&text_);
    if (hive == nullptr)
        return EditableCopy();
    TRegistryHive taken = std::move(*hive);
    taken.SetKnownKeys(std::move(keys_));
    return taken;
}

TRegistryHive THiveSnapshot::EditableCopy() const
{
    // Room for a change's edits, so that they never move the whole text.
    constexpr std::size_t kEditRoom = 64 * 1024;
    std::string text;
    text.reserve(searches_.Text().size() + kEditRoom);
    text.assign(searches_.Text());
    const std::lock_guard lock(mutex_);
    return TRegistryHive(std::move(text), keys_);
}

std::optional<TTextRange> THiveSnapshot::FindKey(const std::u16string& path) const
{
    const std::lock_guard lock(mutex_);
    const auto known = keys_.find(path);
    if (known != keys_.end())
        return known->second;
    return keys_.emplace(path, searches_.FindKey(path)).first->second;
}

std::shared_ptr<const THiveSnapshot> CurrentHive(const fs::path& file)
{
    return Cache().Current(file);
}

void AdoptWrittenHive(const fs::path& file, const TFileIdentity& identity, std::shared_ptr<const THiveSnapshot> snapshot)
{
    Cache().Keep(file, identity, std::move(snapshot));
}

}  // namespace quorvex
