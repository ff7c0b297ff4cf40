// What tells one state of a file from another without reading it: device,
// inode, size, and modification and change times in nanoseconds. A file
// replaced by another (renamed over it) has another inode; one rewritten in
// place has a later change time, which no program can set.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quorvex {

struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedSeconds = 0;
    std::int64_t ModifiedNanoseconds = 0;
    std::int64_t ChangedSeconds = 0;
    std::int64_t ChangedNanoseconds = 0;

    bool operator==(const TFileIdentity&) const = default;
    // The same file with the same content: all but the change time agree
    // (renaming a file changes only that).
    bool SameContent(const TFileIdentity& other) const;
};

// Empty when the path (links followed) is not a regular file that can be
// looked at.
std::optional<TFileIdentity> FileIdentity(const std::filesystem::path& file);
// The same for an open file descriptor.
std::optional<TFileIdentity> FileIdentity(int descriptor);

}  // namespace quorvex
