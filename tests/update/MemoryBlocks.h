// Bytes in memory read as the update core reads files.
#pragma once

#include "platform/FileBlocks.h"

#include <algorithm>
#include <string>
#include <utility>

namespace quorvex {

// Bytes in memory read as a file, failing from a given read on.
class TMemoryBlocks final : public TFileBlocks {
public:
    explicit TMemoryBlocks(std::string bytes, int failingRead = -1) : bytes_(std::move(bytes)), failingRead_(failingRead) {}

    bool Rewind() override
    {
        position_ = 0;
        return true;
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        if (reads_++ == failingRead_)
            return std::nullopt;
        const std::size_t count = std::min(block.size(), bytes_.size() - position_);
        std::copy_n(bytes_.data() + position_, count, block.data());
        position_ += count;
        return count;
    }

private:
    std::string bytes_;
    int failingRead_;
    int reads_ = 0;
    std::size_t position_ = 0;
};

}  // namespace quorvex
