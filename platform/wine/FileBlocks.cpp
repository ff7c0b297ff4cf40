// The POSIX file reader of platform/FileBlocks.h.
#include "platform/FileBlocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorvex {
namespace {

class TDescriptorBlocks final : public TFileBlocks {
public:
    explicit TDescriptorBlocks(int descriptor) : descriptor_(descriptor) {}
    ~TDescriptorBlocks() override { ::close(descriptor_); }
    TDescriptorBlocks(const TDescriptorBlocks&) = delete;
    TDescriptorBlocks& operator=(const TDescriptorBlocks&) = delete;

    bool Rewind() override { return ::lseek(descriptor_, 0, SEEK_SET) == 0; }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        for (;;) {
            const ssize_t count = ::read(descriptor_, block.data(), block.size());
            if (count >= 0)
                return static_cast<std::size_t>(count);
            if (errno != EINTR)
                return std::nullopt;
        }
    }

private:
    int descriptor_;
};

}  // namespace

std::unique_ptr<TFileBlocks> OpenFileBlocks(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return nullptr;
    auto blocks = std::make_unique<TDescriptorBlocks>(descriptor);
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    return blocks;
}

}  // namespace quorvex
