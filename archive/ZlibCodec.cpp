#include "archive/ZlibCodec.h"

#include "platform/Error.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <string>

namespace quorvex {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

[[noreturn]] void Fail(const char* reason)
{
    throw Error(std::string("Stored item data does not inflate: ") + reason);
}

const char* ReasonOf(const z_stream& z, int code)
{
    return z.msg != nullptr ? z.msg : zError(code);
}

std::array<std::uint8_t, 4> LengthBytes(std::int32_t length)
{
    const auto value = static_cast<std::uint32_t>(length);
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

class Deflater {
public:
    explicit Deflater(int level)
    {
        if (deflateInit(&z_, level) != Z_OK)
            throw Error(std::string("Cannot compress stored item: ") + ReasonOf(z_, Z_STREAM_ERROR));
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Feed(std::span<const std::uint8_t> input) { Run(input, Z_NO_FLUSH); }
    std::vector<std::uint8_t> Finish()
    {
        Run({}, Z_FINISH);
        return std::move(output_);
    }

private:
    void Run(std::span<const std::uint8_t> input, int flush)
    {
        z_.next_in = const_cast<Bytef*>(input.data());  // zlib's API is not const-correct
        z_.avail_in = static_cast<uInt>(input.size());
        int code = Z_OK;
        do {
            std::array<std::uint8_t, kChunk> buffer;
            z_.next_out = buffer.data();
            z_.avail_out = static_cast<uInt>(buffer.size());
            code = deflate(&z_, flush);
            output_.insert(output_.end(), buffer.data(), buffer.data() + (buffer.size() - z_.avail_out));
        } while (flush == Z_FINISH ? code != Z_STREAM_END : z_.avail_out == 0);
    }

    z_stream z_{};
    std::vector<std::uint8_t> output_;
};

class Inflater {
public:
    explicit Inflater(std::span<const std::uint8_t> block)
    {
        if (inflateInit(&z_) != Z_OK)
            Fail(ReasonOf(z_, Z_STREAM_ERROR));
        z_.next_in = const_cast<Bytef*>(block.data());  // zlib's API is not const-correct
        z_.avail_in = static_cast<uInt>(block.size());
    }
    ~Inflater() { inflateEnd(&z_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Fills the whole of `out` or throws.
    void Take(std::span<std::uint8_t> out)
    {
        z_.next_out = out.data();
        z_.avail_out = static_cast<uInt>(out.size());
        while (z_.avail_out > 0) {
            const int code = inflate(&z_, Z_NO_FLUSH);
            if (code == Z_STREAM_END && z_.avail_out > 0)
                Fail("the data ends before the file does");
            if (code == Z_BUF_ERROR)
                Fail("the data is truncated");
            if (code != Z_OK && code != Z_STREAM_END)
                Fail(ReasonOf(z_, code));
        }
    }

private:
    z_stream z_{};
};

}  // namespace

std::vector<std::uint8_t> DeflateFramedFile(TStream& source, std::int32_t length, int level)
{
    Deflater deflater(level);
    deflater.Feed(LengthBytes(length));
    std::vector<std::uint8_t> buffer(std::min<std::size_t>(kChunk, static_cast<std::size_t>(length)));
    for (std::size_t left = static_cast<std::size_t>(length); left > 0;) {
        const std::size_t want = std::min(left, buffer.size());
        const std::size_t got = source.Read(std::span(buffer).first(want));
        if (got != want)
            throw Error("Cannot store the file: its source ended early");
        deflater.Feed(std::span(buffer).first(got));
        left -= got;
    }
    return deflater.Finish();
}

void InflateFramedFile(std::span<const std::uint8_t> block, TStream& target)
{
    Inflater inflater(block);
    std::array<std::uint8_t, 4> header{};
    inflater.Take(header);
    const auto length = static_cast<std::int32_t>(static_cast<std::uint32_t>(header[0])
                                                  | static_cast<std::uint32_t>(header[1]) << 8
                                                  | static_cast<std::uint32_t>(header[2]) << 16
                                                  | static_cast<std::uint32_t>(header[3]) << 24);
    if (length < 0)
        Fail("the file length is negative");
    std::vector<std::uint8_t> buffer(std::min<std::size_t>(kChunk, static_cast<std::size_t>(length)));
    for (std::size_t left = static_cast<std::size_t>(length); left > 0;) {
        const auto piece = std::span(buffer).first(std::min(left, buffer.size()));
        inflater.Take(piece);
        target.Write(piece);
        left -= piece.size();
    }
}

}  // namespace quorvex
