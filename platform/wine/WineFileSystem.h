// Files inside the Wine prefix ($WINEPREFIX, read at each call).
#pragma once

#include "platform/FileSystem.h"

namespace quorvex {

class TWineFileSystem final : public TFileSystem {
public:
    std::filesystem::path NativePath(const std::string& path) const override;
    bool FileExists(const std::string& path) const override;
    std::vector<std::uint8_t> ReadFile(const std::string& path) const override;
    void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) const override;
    std::optional<TFileIdentity> Identity(const std::string& path) const override;
    // A copy-on-write clone where the file system offers one; false elsewhere.
    bool ReplaceUnchangedFile(const std::string& path, std::span<const std::uint8_t> bytes,
                              const TFileIdentity& identity) const override;
    bool CopyUnchangedFile(const std::string& source, const TFileIdentity& identity,
                           const std::string& target) const override;
    bool DeleteFile(const std::string& path) const override;
};

}  // namespace quorvex
