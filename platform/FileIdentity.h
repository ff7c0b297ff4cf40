// What tells one state of a file from another without reading it: device,
// file number, size, and modification and change times (nanoseconds on
// Linux, 100 ns ticks on Windows). A file replaced by another (renamed over
// it) has another file number; one rewritten in place has a later change
// time, which no program can set. Two equal identities taken at different
// moments mean the file was left alone between.
#pragma once

#include <cstdint>

namespace quorvex {

struct TFileIdentity {
    std::uint64_t Device = 0;
    std::uint64_t File = 0;
    std::uint64_t Size = 0;
    std::int64_t Modified = 0;
    std::int64_t Changed = 0;

    bool operator==(const TFileIdentity&) const = default;
    // The same file with the same content: all but the change time agree
    // (renaming a file changes only that).
    bool SameContent(const TFileIdentity& other) const
    {
        return Device == other.Device && File == other.File && Size == other.Size && Modified == other.Modified;
    }
};

}  // namespace quorvex
