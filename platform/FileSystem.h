// Files named by Windows path texts ("C:\...", relative names), as the
// messenger and Quorvex see them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace quorvex {

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
    // its old content. Throws FileCreateError ("Cannot create file ...") when
    // the file cannot be created or replaced, Error when writing fails.
    virtual void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const = 0;
    // True when a file was there and has been deleted; a read-only file is
    // not deleted.
    virtual bool DeleteFile(const std::string& path) const = 0;
};

}  // namespace quorvex
