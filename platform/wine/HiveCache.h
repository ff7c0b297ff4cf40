// Registry files read and parsed once per change of the file. Every use looks
// at the file's identity on disk (one stat, see TFileIdentity); while it is
// the same as when the file was last read, the parsed copy serves, otherwise
// the file is read again. So a reader always sees the file as it is on disk,
// yet an unchanged file is not read twice, nor read back after this process
// wrote it (AdoptWrittenHive). A cached file is kept open, so that no other
// file can take its file number and pass for it.
#pragma once

#include "platform/wine/FileIdentity.h"
#include "platform/wine/PageBuffer.h"
#include "platform/wine/RegistryHive.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace quorvex {

// One state of a registry file; never changes while it is shared. Key lookups
// are remembered.
class THiveSnapshot {
public:
    // The file's bytes as read.
    explicit THiveSnapshot(TPageBuffer text);
    // A text made by editing another.
    explicit THiveSnapshot(TRegistryHive hive);
    THiveSnapshot(const THiveSnapshot&) = delete;
    THiveSnapshot& operator=(const THiveSnapshot&) = delete;

    const TRegistryText& Hive() const { return searches_; }
    // A copy of the text to edit, which knows the keys found so far.
    TRegistryHive EditableCopy() const;
    // The text to edit without a copy where it is an edited one: only for a
    // snapshot that no one else holds, and that is dropped next.
    TRegistryHive TakeHive();
    // TRegistryText::FindKey, searched once per path.
    std::optional<TTextRange> FindKey(const std::u16string& path) const;

private:
    std::variant<TPageBuffer, TRegistryHive> text_;
    TRegistryText searches_;  // over text_
    mutable std::mutex mutex_;
    mutable TKnownKeys keys_;
};

// The largest registry file read: Wine's largest real ones hold tens of MB,
// so this leaves room to grow, yet a planted huge or sparse file is refused
// before its size is allocated.
constexpr std::uintmax_t kMaxRegistryFileSize = std::uintmax_t{256} << 20;

// The registry file as it is on disk now. Throws Error (with the reason)
// when it cannot be read, is not a regular file or holds more than
// kMaxRegistryFileSize bytes.
std::shared_ptr<const THiveSnapshot> CurrentHive(const std::filesystem::path& file);

// This process has just written the snapshot's text to file, which then had
// identity (taken after the write): while the file keeps that identity,
// CurrentHive(file) gives the snapshot without reading the file.
void AdoptWrittenHive(const std::filesystem::path& file, const TFileIdentity& identity,
                      std::shared_ptr<const THiveSnapshot> snapshot);

}  // namespace quorvex
