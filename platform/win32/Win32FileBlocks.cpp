// The Win32 file reader of platform/FileBlocks.h.
#include "platform/FileBlocks.h"

#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <algorithm>

namespace quorvex {
namespace {

class THandleBlocks final : public TFileBlocks {
public:
    explicit THandleBlocks(HANDLE handle) : handle_(handle) {}
    ~THandleBlocks() override { CloseHandle(handle_); }
    THandleBlocks(const THandleBlocks&) = delete;
    THandleBlocks& operator=(const THandleBlocks&) = delete;

    bool Rewind() override
    {
        LARGE_INTEGER start{};
        return SetFilePointerEx(handle_, start, nullptr, FILE_BEGIN) != 0;
    }

    std::optional<std::size_t> Read(std::span<std::uint8_t> block) override
    {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(block.size(), 1u << 30));
        DWORD count = 0;
        if (!ReadFile(handle_, block.data(), wanted, &count, nullptr))
            return std::nullopt;
        return count;
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<TFileBlocks> OpenFileBlocks(const std::string& path)
{
    const HANDLE handle = CreateFileW(WideText(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return nullptr;
    auto blocks = std::make_unique<THandleBlocks>(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return nullptr;
    return blocks;
}

}  // namespace quorvex
