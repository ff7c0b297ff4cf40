// Files read block by block from their start, as checksums and signatures of
// downloaded installers are computed: never held whole in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace quorvex {

class TFileBlocks {
public:
    virtual ~TFileBlocks() = default;
    // Goes back to the first byte; false when the file cannot be read there.
    virtual bool Rewind() = 0;
    // Fills the start of block from the position on and returns how many
    // bytes came, 0 at the end; nothing when the read failed.
    virtual std::optional<std::size_t> Read(std::span<std::uint8_t> block) = 0;
};

// The regular file at a native path (UTF-8), open for reading; nothing when
// it cannot be opened or is not a regular file (opening a pipe or a device
// never waits).
std::unique_ptr<TFileBlocks> OpenFileBlocks(const std::string& path);

}  // namespace quorvex
