// The picture loader of the advert previews, without a toolkit: a stored JPEG
// picture decoded and scaled to fit its picture control, as 32-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quorvex {

class TmxStoredItem;

struct TPictureSize {
    int Width = 0;
    int Height = 0;

    bool operator==(const TPictureSize&) const = default;
};

// Pixels row by row from the top, each the 32-bit number 0xffRRGGBB: in
// memory on a little-endian machine the bytes blue, green, red, 0xff, the
// layout of a 32-bit Windows bitmap and of Qt's 32-bit RGB image alike.
struct TPicture {
    TPictureSize Size;
    std::vector<std::uint32_t> Pixels;

    std::uint32_t Pixel(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Size.Width + x]; }
};

// The most pixels a decoded picture may have (64 MiB of pixels).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 24;

// Decodes a JPEG picture; throws Error with the decoder's reason when the
// bytes are not one, or when the picture has more than kMaxPicturePixels.
TPicture DecodeJpeg(std::span<const std::uint8_t> bytes);

// The size a picture is drawn at in a control: a wide picture takes the
// control's width, any other its height; the other side keeps the aspect,
// rounded down (the product first, in 32-bit signed arithmetic).
TPictureSize FitPicture(TPictureSize picture, TPictureSize control);

// The picture stretched smoothly to size: each pixel the mean of the area of
// the picture it covers. An empty size gives an empty picture.
TPicture ScalePicture(const TPicture& picture, TPictureSize size);

// The JPEG picture at its fitted size in a control of this size: decoded at
// the smallest scale the decoder offers that covers that size, then scaled
// smoothly. Throws Error as DecodeJpeg does.
TPicture FittedPicture(std::span<const std::uint8_t> bytes, TPictureSize control);
// The stored item's picture so. Needs no window, so it may run on another thread.
TPicture FittedPicture(TmxStoredItem& item, TPictureSize control);

}  // namespace quorvex
