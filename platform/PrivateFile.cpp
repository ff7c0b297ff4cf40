// What the private file does alike on both systems; the file itself is each
// backend's (platform/wine, platform/win32).
#include "platform/PrivateFile.h"

#include "platform/Error.h"

#include <random>
#include <utility>

namespace quorvex {

std::string TPrivateFile::NewName(const std::string& prefix, const std::string& suffix)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = prefix;
    for (int i = 0; i < 6; ++i)
        name += kLetters[pick(generator)];
    return name + suffix;
}

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
