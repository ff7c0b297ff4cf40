// Bytes in memory of their own, cheap to fill: an anonymous mapping aligned
// to 2 MiB and rounded up to whole 2 MiB, which the system is asked to back
// with huge pages and to map in one go. On this kind of machine faulting in
// fresh memory 4 KiB at a time costs far more than reading a file that is in
// the page cache; where no huge pages are free the hints fail silently and
// the buffer is ordinary memory. Never a mapping of a file, which another
// program could truncate under us.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorvex {

class TPageBuffer {
public:
    TPageBuffer() = default;
    // size bytes, all zero. Throws std::bad_alloc when memory cannot be had.
    explicit TPageBuffer(std::size_t size);
    ~TPageBuffer();
    TPageBuffer(TPageBuffer&& other) noexcept;
    TPageBuffer& operator=(TPageBuffer&& other) noexcept;
    TPageBuffer(const TPageBuffer&) = delete;
    TPageBuffer& operator=(const TPageBuffer&) = delete;

    // Named as a standard container's, so that the same read loop fills one.
    char* data() { return base_; }
    const char* data() const { return base_; }
    std::size_t size() const { return size_; }
    // Keeps the first bytes; bytes added are zero.
    void resize(std::size_t size);

    std::string_view View() const { return {base_, size_}; }

private:
    void Release();

    char* base_ = nullptr;
    std::size_t length_ = 0;  // of the mapping
    std::size_t size_ = 0;
};

}  // namespace quorvex
