// Files named by Windows path texts ("C:\...", relative names), as the
// messenger and Quorvex see them.
#pragma once

#include "platform/FileIdentity.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvex {

// How long a change of a file waits for another Quorvex process that
// changes it (a change of a 20 MB registry file or of the executable takes
// well under a second), and what it says when that one is not done by then.
inline constexpr std::chrono::milliseconds kFileChangeWait{10000};
inline constexpr const char* kInUseByAnotherQuorvex = "The file is in use by another Quorvex process.";

class TFileSystem {
public:
    virtual ~TFileSystem() = default;

    // The native file that a path text names (may not exist yet).
    virtual std::filesystem::path NativePath(const std::string& path) const = 0;
    // True for an existing file, false for a folder or nothing.
    virtual bool FileExists(const std::string& path) const = 0;
    // Throws Error naming the file and the reason when it cannot be read.
    virtual std::vector<std::uint8_t> ReadFile(const std::string& path) const = 0;
    // Creates or replaces the whole file atomically: on failure the file keeps
    // its old content. Quorvex processes replace a file in turn. Throws
    // FileCreateError ("Cannot create file ...") when the file cannot be
    // created or replaced, or another Quorvex process holds it beyond
    // kFileChangeWait; Error when writing fails.
    virtual void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const = 0;
    // Replaces the file as WriteFile does, but only while it still has the
    // identity given, checked under the change lock: false, with the file
    // untouched, when something else changed or replaced it since (or it is
    // gone). Throws as WriteFile.
    virtual bool ReplaceUnchangedFile(const std::string& path, std::span<const std::uint8_t> bytes,
                                      const TFileIdentity& identity) const = 0;
    // The identity of an existing file; none for a folder or nothing.
    virtual std::optional<TFileIdentity> Identity(const std::string& path) const = 0;
    // Creates or replaces target as WriteFile does, as a copy of source, but
    // only while source keeps the identity given (checked before and after
    // the copy). Where the file system can, the copy shares source's data (a
    // copy-on-write clone) and writes none of it. False, with target untouched
    // and nothing left behind, when source has changed or the copy cannot be
    // made cheaply: the caller then writes the bytes itself. Throws as WriteFile.
    virtual bool CopyUnchangedFile(const std::string& source, const TFileIdentity& identity,
                                   const std::string& target) const = 0;
    // True when a file was there and has been deleted; a read-only file is
    // not deleted.
    virtual bool DeleteFile(const std::string& path) const = 0;
};

}  // namespace quorvex
