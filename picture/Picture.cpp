#include "picture/Picture.h"

#include "archive/mxStorage.h"
#include "platform/Error.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <string>
#include <utility>

#include <jpeglib.h>

namespace quorvex {
namespace {

// libjpeg reports errors through a callback that must not return; it jumps
// back into Decode, which turns the message into an Error.
struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnError(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// A warning (a picture cut short, say) leaves a picture that still shows;
// nothing is printed.
void IgnoreMessage(j_common_ptr) {}

// The 32-bit number 0xffRRGGBB lies in memory in the machine's byte order.
constexpr J_COLOR_SPACE kPixelOrder = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// The smallest of libjpeg's scales (1/8, 1/4, 1/2, 1/1) at which a picture
// still covers the size it is drawn at; the rest is left to smooth scaling.
unsigned ScaleDenominator(TPictureSize picture, TPictureSize drawn)
{
    for (const int denominator : {8, 4, 2}) {
        const auto scaled = [denominator](int side) { return (side + denominator - 1) / denominator; };
        if (scaled(picture.Width) >= drawn.Width && scaled(picture.Height) >= drawn.Height)
            return static_cast<unsigned>(denominator);
    }
    return 1;
}

enum class TDecodeResult { Decoded, NotJpeg, TooLarge };

// Decodes into picture, which the caller owns so that no object with a
// destructor lives between the jump and its target: with a control, at the
// smallest scale that covers the picture's fitted size, which goes to fitted.
TDecodeResult Decode(std::span<const std::uint8_t> bytes, const TPictureSize* control, TPicture& picture,
                     TPictureSize& fitted, TJpegError& error)
{
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOnError;
    error.Manager.output_message = IgnoreMessage;
    if (setjmp(error.Jump) != 0) {
        jpeg_destroy_decompress(&info);
        return TDecodeResult::NotJpeg;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const TPictureSize whole{static_cast<int>(info.image_width), static_cast<int>(info.image_height)};
    fitted = control != nullptr ? FitPicture(whole, *control) : whole;
    info.out_color_space = kPixelOrder;
    info.scale_num = 1;
    info.scale_denom = ScaleDenominator(whole, fitted);
    jpeg_calc_output_dimensions(&info);
    picture.Size = {static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
    if (std::int64_t{picture.Size.Width} * picture.Size.Height > kMaxPicturePixels) {
        picture.Size = whole;  // for the report
        jpeg_destroy_decompress(&info);
        return TDecodeResult::TooLarge;
    }
    jpeg_start_decompress(&info);
    picture.Pixels.resize(static_cast<std::size_t>(picture.Size.Width) * picture.Size.Height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(picture.Pixels.data()
                                                  + static_cast<std::size_t>(info.output_scanline) * picture.Size.Width);
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return TDecodeResult::Decoded;
}

struct TDecoded {
    TPicture Picture;
    TPictureSize Fitted;
};

TDecoded DecodeOrThrow(std::span<const std::uint8_t> bytes, const TPictureSize* control)
{
    TDecoded decoded;
    TJpegError error{};
    switch (Decode(bytes, control, decoded.Picture, decoded.Fitted, error)) {
    case TDecodeResult::Decoded:
        return decoded;
    case TDecodeResult::NotJpeg:
        throw Error(std::string("Invalid JPEG picture: ") + error.Message);
    case TDecodeResult::TooLarge:
        break;
    }
    throw Error("JPEG picture too large: " + std::to_string(decoded.Picture.Size.Width) + " x "
                + std::to_string(decoded.Picture.Size.Height) + " pixels");
}

// How much each source pixel along one side adds to each target pixel: the
// target pixel covers the source interval [i * from / to, (i + 1) * from / to).
struct TSpan {
    int First;
    std::vector<double> Weights;  // summing to 1
};

std::vector<TSpan> AreaSpans(int from, int to)
{
    std::vector<TSpan> spans(static_cast<std::size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        const double begin = i * step;
        const double end = begin + step;
        TSpan& span = spans[static_cast<std::size_t>(i)];
        span.First = static_cast<int>(begin);
        for (int j = span.First; j < from && j < end; ++j) {
            const double covered = std::min<double>(end, j + 1) - std::max<double>(begin, j);
            span.Weights.push_back(covered / step);
        }
    }
    return spans;
}

// One channel per colour, in floating point, between the two passes.
struct TChannels {
    double Red = 0, Green = 0, Blue = 0;

    void Add(std::uint32_t pixel, double weight)
    {
        Red += weight * (pixel >> 16 & 0xFF);
        Green += weight * (pixel >> 8 & 0xFF);
        Blue += weight * (pixel & 0xFF);
    }
    void Add(const TChannels& other, double weight)
    {
        Red += weight * other.Red;
        Green += weight * other.Green;
        Blue += weight * other.Blue;
    }
    std::uint32_t Pixel() const
    {
        const auto channel = [](double value) {
            return static_cast<std::uint32_t>(std::min(255.0, std::max(0.0, value + 0.5)));
        };
        return 0xFF000000u | channel(Red) << 16 | channel(Green) << 8 | channel(Blue);
    }
};

}  // namespace

TPicture DecodeJpeg(std::span<const std::uint8_t> bytes)
{
    return DecodeOrThrow(bytes, nullptr).Picture;
}

TPictureSize FitPicture(TPictureSize picture, TPictureSize control)
{
    const std::int32_t w = picture.Width;
    const std::int32_t h = picture.Height;
    if (w <= 0 || h <= 0)
        return {};
    if (w > h)
        return {control.Width, h * control.Width / w};
    return {w * control.Height / h, control.Height};
}

TPicture ScalePicture(const TPicture& picture, TPictureSize size)
{
    if (size.Width <= 0 || size.Height <= 0 || picture.Pixels.empty())
        return {};
    const std::vector<TSpan> across = AreaSpans(picture.Size.Width, size.Width);
    const std::vector<TSpan> down = AreaSpans(picture.Size.Height, size.Height);

    // Across first, every source row, then down.
    std::vector<TChannels> rows(static_cast<std::size_t>(picture.Size.Height) * size.Width);
    for (int y = 0; y < picture.Size.Height; ++y) {
        for (int x = 0; x < size.Width; ++x) {
            const TSpan& span = across[static_cast<std::size_t>(x)];
            TChannels& target = rows[static_cast<std::size_t>(y) * size.Width + x];
            for (std::size_t k = 0; k < span.Weights.size(); ++k)
                target.Add(picture.Pixel(span.First + static_cast<int>(k), y), span.Weights[k]);
        }
    }
    TPicture scaled{size, std::vector<std::uint32_t>(static_cast<std::size_t>(size.Width) * size.Height)};
    for (int y = 0; y < size.Height; ++y) {
        const TSpan& span = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < size.Width; ++x) {
            TChannels sum;
            for (std::size_t k = 0; k < span.Weights.size(); ++k)
                sum.Add(rows[static_cast<std::size_t>(span.First + static_cast<int>(k)) * size.Width + x], span.Weights[k]);
            scaled.Pixels[static_cast<std::size_t>(y) * size.Width + x] = sum.Pixel();
        }
    }
    return scaled;
}

TPicture FittedPicture(std::span<const std::uint8_t> bytes, TPictureSize control)
{
    TDecoded decoded = DecodeOrThrow(bytes, &control);
    if (decoded.Picture.Size == decoded.Fitted)
        return std::move(decoded.Picture);
    return ScalePicture(decoded.Picture, decoded.Fitted);
}

TPicture FittedPicture(TmxStoredItem& item, TPictureSize control)
{
    return FittedPicture(item.GetAsStream().Bytes(), control);
}

}  // namespace quorvex
