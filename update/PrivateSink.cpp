#include "update/PrivateSink.h"

#include "platform/Error.h"

#include <algorithm>
#include <utility>

namespace quorvex {

TPrivateSink::TPrivateSink(TPrivateFile file) : file_(std::move(file)) {}

TPrivateSink::~TPrivateSink()
{
    Discard();
}

std::int64_t TPrivateSink::Write(std::span<const char> block)
{
    error_ = file_.TryWrite({reinterpret_cast<const std::uint8_t*>(block.data()), block.size()});
    return error_.empty() ? static_cast<std::int64_t>(block.size()) : -1;
}

void TPrivateSink::CutBack(std::int64_t position)
{
    try {
        file_.CutBack(static_cast<std::uint64_t>(std::max<std::int64_t>(position, 0)));
    } catch (const Error& error) {
        error_ = error.what();  // the stream keeps what it has, as one that cannot go back
    }
}

std::string TPrivateSink::ReadBack(std::size_t max) const
{
    const std::unique_ptr<TFileBlocks> blocks = file_.ReadBlocks();
    std::string bytes(max, '\0');
    std::size_t filled = 0;
    while (filled < max) {
        const std::optional<std::size_t> count =
            blocks->Read({reinterpret_cast<std::uint8_t*>(bytes.data()) + filled, max - filled});
        if (!count)
            return {};
        if (*count == 0)
            break;
        filled += *count;
    }
    bytes.resize(filled);
    return bytes;
}

void TPrivateSink::RenameTo(const std::string& name)
{
    file_.RenameTo(name);
}

void TPrivateSink::Discard()
{
    file_.Discard();
}

}  // namespace quorvex
