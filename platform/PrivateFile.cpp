// What the private file does alike on both systems; the file itself is each
// backend's (platform/wine, platform/win32).
#include "platform/PrivateFile.h"

#include "platform/Error.h"

#include <utility>

namespace quorvex {

TPrivateFile::TPrivateFile(TPrivateFile&& other) noexcept
    : folder_(std::exchange(other.folder_, std::nullopt)),
      name_(std::move(other.name_)),
      path_(std::move(other.path_)),
      descriptor_(std::exchange(other.descriptor_, -1))
{
    other.path_.clear();
}

TPrivateFile& TPrivateFile::operator=(TPrivateFile&& other) noexcept
{
    if (this != &other) {
        Discard();
        folder_ = std::exchange(other.folder_, std::nullopt);
        name_ = std::move(other.name_);
        path_ = std::move(other.path_);
        descriptor_ = std::exchange(other.descriptor_, -1);
        other.path_.clear();
    }
    return *this;
}

TPrivateFile::~TPrivateFile()
{
    Discard();
}

void TPrivateFile::Write(std::span<const std::uint8_t> bytes)
{
    if (const std::string reason = TryWrite(bytes); !reason.empty())
        throw Error("Cannot write file \"" + path_.string() + "\". " + reason);
}

}  // namespace quorvex
