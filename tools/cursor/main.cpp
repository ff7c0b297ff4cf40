// Makes the Windows cursor file of the screen dropper from the two X bitmaps
// the Linux windows use (the shape and its mask, 32 x 32, hot spot at the
// pipette's tip), so that both programs draw the one picture.
//
//   quorvex_cursor OUTPUT.cur
#include "resources/artwork/dropper-cursor-mask.xbm"
#include "resources/artwork/dropper-cursor.xbm"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSide = dropper_cursor_width;
static_assert(dropper_cursor_height == kSide && dropper_cursor_mask_width == kSide && dropper_cursor_mask_height == kSide);
constexpr int kRowBytes = kSide / 8;
constexpr int kMaskBytes = kRowBytes * kSide;

void Put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, unsigned value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool Bit(const unsigned char* bits, int x, int y)
{
    return (bits[y * kRowBytes + x / 8] >> (x % 8) & 1) != 0;  // an X bitmap's leftmost pixel is bit 0
}

// A Windows mask row from the bottom up, its leftmost pixel the top bit: the
// AND mask is set where the X mask leaves the screen, the XOR mask where the
// shape is white (X shape bit clear inside the mask) or the screen inverted.
std::vector<std::uint8_t> Mask(bool andMask)
{
    std::vector<std::uint8_t> mask(kMaskBytes);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool opaque = Bit(dropper_cursor_mask_bits, x, y);
            const bool black = Bit(dropper_cursor_bits, x, y);
            const bool set = andMask ? !opaque : opaque != black;
            if (set)
                mask[(kSide - 1 - y) * kRowBytes + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return mask;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvex_cursor OUTPUT.cur\n");
        return 2;
    }
    std::vector<std::uint8_t> out;
    const unsigned imageBytes = 40 + 8 + 2 * kMaskBytes;
    Put16(out, 0), Put16(out, 2), Put16(out, 1);  // a cursor file of one picture
    out.push_back(kSide), out.push_back(kSide), out.push_back(2), out.push_back(0);
    Put16(out, dropper_cursor_x_hot), Put16(out, dropper_cursor_y_hot);
    Put32(out, imageBytes), Put32(out, 22);
    // The picture: one bit per pixel, the height counting both masks.
    Put32(out, 40), Put32(out, kSide), Put32(out, 2 * kSide), Put16(out, 1), Put16(out, 1);
    Put32(out, 0), Put32(out, 2 * kMaskBytes), Put32(out, 0), Put32(out, 0), Put32(out, 2), Put32(out, 0);
    Put32(out, 0x000000), Put32(out, 0xFFFFFF);  // black, white
    for (const bool andMask : {false, true}) {
        const std::vector<std::uint8_t> mask = Mask(andMask);
        out.insert(out.end(), mask.begin(), mask.end());
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
