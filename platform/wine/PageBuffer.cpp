#include "platform/wine/PageBuffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace quorvex {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

std::size_t RoundUp(std::size_t size, std::size_t unit)
{
    return (size + unit - 1) / unit * unit;
}

// A mapping of length bytes (a multiple of kHugePage) that starts on a
// kHugePage boundary: a larger one, trimmed at both ends.
char* MapAligned(std::size_t length)
{
    void* mapped = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* const start = static_cast<char*>(mapped);
    char* const aligned = reinterpret_cast<char*>(RoundUp(reinterpret_cast<std::uintptr_t>(start), kHugePage));
    if (aligned != start)
        ::munmap(start, static_cast<std::size_t>(aligned - start));
    ::munmap(aligned + length, kHugePage - static_cast<std::size_t>(aligned - start));
    // Hints: where they fail, the pages are mapped as they are touched.
    ::madvise(aligned, length, MADV_HUGEPAGE);
    return aligned;
}

// Maps in the pages of [from, to) now rather than one fault at a time.
void Populate(char* base, std::size_t from, std::size_t to)
{
    from = from / kPage * kPage;
    to = RoundUp(to, kPage);
    if (to > from)
        ::madvise(base + from, to - from, MADV_POPULATE_WRITE);
}

}  // namespace

TPageBuffer::TPageBuffer(std::size_t size)
{
    resize(size);
}

TPageBuffer::~TPageBuffer()
{
    Release();
}

TPageBuffer::TPageBuffer(TPageBuffer&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), length_(std::exchange(other.length_, 0)),
      size_(std::exchange(other.size_, 0))
{
}

TPageBuffer& TPageBuffer::operator=(TPageBuffer&& other) noexcept
{
    if (this != &other) {
        Release();
        base_ = std::exchange(other.base_, nullptr);
        length_ = std::exchange(other.length_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void TPageBuffer::Release()
{
    if (base_ != nullptr)
        ::munmap(base_, length_);
    base_ = nullptr;
    length_ = 0;
    size_ = 0;
}

void TPageBuffer::resize(std::size_t size)
{
    if (size > length_) {
        TPageBuffer larger;
        larger.length_ = RoundUp(size, kHugePage);
        larger.base_ = MapAligned(larger.length_);
        Populate(larger.base_, 0, size);
        if (size_ > 0)
            std::memcpy(larger.base_, base_, size_);
        larger.size_ = size;
        *this = std::move(larger);
        return;
    }
    if (size < size_)
        std::memset(base_ + size, 0, size_ - size);  // so that growing again shows zeros
    else
        Populate(base_, size_, size);
    size_ = size;
}

}  // namespace quorvex
