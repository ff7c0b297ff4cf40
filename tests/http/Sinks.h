// Received-data streams of the HTTP client for the tests and the benchmark:
// one in memory, one writing a file through the C library.
#pragma once

#include "http/RcvdStream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>

namespace quorvex::test {

class TStringSink final : public TRcvdStream {
public:
    const std::string& Data() const { return data_; }
    void Clear()
    {
        data_.clear();
        position_ = 0;
    }

    std::int64_t Write(std::span<const char> block) override
    {
        data_.resize(std::max(data_.size(), position_ + block.size()));
        data_.replace(position_, block.size(), block.data(), block.size());
        position_ += block.size();
        return static_cast<std::int64_t>(block.size());
    }
    std::string ErrorString() const override { return {}; }
    std::int64_t Position() const override { return static_cast<std::int64_t>(position_); }
    void CutBack(std::int64_t position) override
    {
        position_ = static_cast<std::size_t>(position);
        data_.resize(position_);
    }

private:
    std::string data_;
    std::size_t position_ = 0;
};

// A file opened with the C library's mode ("wb"), unbuffered, so that a
// write fails with the system's reason at once.
class TFileSink final : public TRcvdStream {
public:
    TFileSink(std::filesystem::path path, const char* mode)
        : path_(std::move(path)), file_(std::fopen(path_.string().c_str(), mode))
    {
        if (file_ == nullptr)
            error_ = errno;
        else
            std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~TFileSink() override { Close(); }
    TFileSink(const TFileSink&) = delete;
    TFileSink& operator=(const TFileSink&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Closes the file; false when that failed (ErrorString tells why).
    bool Close()
    {
        if (file_ == nullptr)
            return error_ == 0;
        const bool closed = std::fclose(file_) == 0;
        if (!closed)
            error_ = errno;
        file_ = nullptr;
        return closed;
    }

    std::int64_t Write(std::span<const char> block) override
    {
        if (file_ == nullptr)
            return 0;
        errno = 0;
        const std::size_t written = std::fwrite(block.data(), 1, block.size(), file_);
        if (written < block.size())
            error_ = errno;
        position_ += static_cast<std::int64_t>(written);
        return static_cast<std::int64_t>(written);
    }
    std::string ErrorString() const override { return std::strerror(error_); }
    std::int64_t Position() const override { return position_; }
    void CutBack(std::int64_t position) override
    {
        if (file_ == nullptr)
            return;
        std::error_code error;
        std::filesystem::resize_file(path_, static_cast<std::uintmax_t>(position), error);
        if (!error && std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0)
            position_ = position;
    }

private:
    std::filesystem::path path_;
    std::FILE* file_;
    int error_ = 0;
    std::int64_t position_ = 0;
};

}  // namespace quorvex::test
