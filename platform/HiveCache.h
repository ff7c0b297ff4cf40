// Registry files read and parsed once per change of the file. Every use looks
// at the file's identity on disk (one stat: device, inode, size, modification
// and change times in nanoseconds); while it is the same as when the file was
// last read, the parsed copy serves, otherwise the file is read again. So a
// reader always sees the file as it is on disk, yet an unchanged file is not
// read twice.
//
// A file replaced by another (rename over it, as Wine and Quorvex write these
// files) has another inode; one rewritten in place has a later change time,
// which no program can set.
#pragma once

#include "platform/RegistryHive.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace quorvex {

// One reading of a registry file; never changes. Key lookups are remembered.
class THiveSnapshot {
public:
    explicit THiveSnapshot(TRegistryHive hive) : hive_(std::move(hive)) {}

    const TRegistryHive& Hive() const { return hive_; }
    // TRegistryHive::FindKey, searched once per path.
    std::optional<TTextRange> FindKey(const std::u16string& path) const;

private:
    TRegistryHive hive_;
    mutable std::mutex mutex_;
    mutable std::map<std::u16string, std::optional<TTextRange>> keys_;
};

// The registry file as it is on disk now. Throws Error (with the system's
// reason) when it cannot be read.
std::shared_ptr<const THiveSnapshot> CurrentHive(const std::filesystem::path& file);

}  // namespace quorvex
