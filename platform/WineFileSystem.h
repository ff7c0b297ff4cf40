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
    bool DeleteFile(const std::string& path) const override;
};

}  // namespace quorvex
