// A Qt device (an open file, a buffer) read as the update core reads files.
#pragma once

#include "platform/FileBlocks.h"

#include <QIODevice>

namespace quorvex {

class TDeviceBlocks final : public TFileBlocks {
public:
    explicit TDeviceBlocks(QIODevice& device) : device_(device) {}

    bool Rewind() override { return device_.seek(0); }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        const qint64 count = device_.read(reinterpret_cast<char*>(block.data()), static_cast<qint64>(block.size()));
        if (count < 0)
            return std::nullopt;
        return static_cast<std::size_t>(count);
    }

private:
    QIODevice& device_;
};

}  // namespace quorvex
