// Byte streams with a position: the abstract stream and the growable
// in-memory stream that holds the messenger image and the stored items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvex {

class TStream {
public:
    virtual ~TStream() = default;

    virtual std::size_t Size() const = 0;
    virtual std::size_t Position() const = 0;
    // Moves to an absolute offset; an offset past the end is allowed (a later
    // write grows the stream, a read there returns nothing).
    virtual void Seek(std::size_t offset) = 0;
    // Copies up to buffer.size() bytes from the position; returns how many were
    // available and advances the position by that much.
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
    // Writes every byte at the position, growing the stream as needed.
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

class TMemoryStream final : public TStream {
public:
    std::size_t Size() const override { return bytes_.size(); }
    std::size_t Position() const override { return position_; }
    void Seek(std::size_t offset) override { position_ = offset; }
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    void Write(std::span<const std::uint8_t> bytes) override;

    // Size 0, position 0, storage released.
    void Clear();
    // Replaces the whole content and resets the position to 0.
    void Assign(std::vector<std::uint8_t> bytes);

    std::span<std::uint8_t> Bytes() { return bytes_; }
    std::span<const std::uint8_t> Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace quorvex
