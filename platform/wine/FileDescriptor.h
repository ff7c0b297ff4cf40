// An open file descriptor, closed when its owner goes.
#pragma once

#include <unistd.h>

#include <utility>

namespace quorvex {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
    ~TFileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFileDescriptor(TFileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    TFileDescriptor& operator=(TFileDescriptor&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Open() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace quorvex
