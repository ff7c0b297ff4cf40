#include "archive/Catalogue.h"
#include "archive/mxStorage.h"
#include "picture/Picture.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace quorvex {
namespace {

using TBytes = std::vector<std::uint8_t>;

std::string Name(TPictureSize size)
{
    return std::to_string(size.Width) + "x" + std::to_string(size.Height);
}

struct TFitCase {
    TPictureSize Picture;
    TPictureSize Fitted;
};

class PictureFit : public ::testing::TestWithParam<TFitCase> {};

TEST_P(PictureFit, FillsTheLongerSideAndRoundsTheOtherDown)
{
    EXPECT_EQ(FitPicture(GetParam().Picture, {189, 202}), GetParam().Fitted);
}

INSTANTIATE_TEST_SUITE_P(PreviewControl, PictureFit,
                         ::testing::Values(TFitCase{{277, 555}, {100, 202}}, TFitCase{{704, 409}, {189, 109}},
                                           TFitCase{{521, 457}, {189, 165}}, TFitCase{{300, 300}, {202, 202}},
                                           TFitCase{{189, 202}, {189, 202}}, TFitCase{{190, 200}, {191, 202}},
                                           TFitCase{{1, 5000}, {0, 202}}, TFitCase{{0, 0}, {}}),
                         [](const auto& info) { return Name(info.param.Picture); });

// A JPEG picture of the given size, made here: the left half red, the right half blue.
TBytes RedBlueJpeg(int width, int height)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    for (int x = 0; x < width; ++x) {
        const bool left = x < width / 2;
        row[x * 3 + 0] = left ? 255 : 0;
        row[x * 3 + 2] = left ? 0 : 255;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    TBytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// Each colour channel within a small distance: JPEG keeps colours nearly.
void ExpectNear(std::uint32_t pixel, std::uint32_t expected)
{
    for (const int shift : {24, 16, 8, 0}) {
        const int got = static_cast<int>(pixel >> shift & 0xFF);
        const int want = static_cast<int>(expected >> shift & 0xFF);
        EXPECT_NEAR(got, want, 6) << std::hex << "pixel 0x" << pixel << ", expected about 0x" << expected;
    }
}

TEST(PictureLoader, DecodesColoursAsTheNumber0xffRRGGBB)
{
    const TPicture picture = DecodeJpeg(RedBlueJpeg(64, 32));
    ASSERT_EQ(picture.Size, (TPictureSize{64, 32}));
    ASSERT_EQ(picture.Pixels.size(), 64u * 32u);
    ExpectNear(picture.Pixel(8, 16), 0xFFFF0000);
    ExpectNear(picture.Pixel(56, 16), 0xFF0000FF);
    std::uint8_t first[4];
    std::memcpy(first, picture.Pixels.data(), sizeof first);
    EXPECT_EQ(first[3], 0xFF) << "on a little-endian machine the bytes are blue, green, red, 0xff";
    EXPECT_GT(first[2], 0xF0);
}

struct TStoredCase {
    int Item;
    TPictureSize Whole;
    TPictureSize Fitted;
};

class StoredPreview : public ::testing::TestWithParam<TStoredCase> {};

// The mean difference of two pictures of one size, per colour channel (0 to 255).
double MeanDifference(const TPicture& a, const TPicture& b)
{
    double sum = 0;
    for (std::size_t at = 0; at < a.Pixels.size(); ++at) {
        for (const int shift : {16, 8, 0})
            sum += std::abs(static_cast<int>(a.Pixels[at] >> shift & 0xFF) - static_cast<int>(b.Pixels[at] >> shift & 0xFF));
    }
    return sum / (3.0 * static_cast<double>(a.Pixels.size()));
}

TEST_P(StoredPreview, DecodesOpaqueAndFitsCloseToTheWholePictureScaled)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TmxStoredItem& item = storage.ItemByIndex(GetParam().Item);
    const TPicture whole = DecodeJpeg(item.GetAsStream().Bytes());
    ASSERT_EQ(whole.Size, GetParam().Whole);
    for (const std::uint32_t pixel : whole.Pixels)
        ASSERT_EQ(pixel >> 24, 0xFFu) << "every pixel's top byte is 0xff";

    const TPicture fitted = FittedPicture(item, {189, 202});
    ASSERT_EQ(fitted.Size, GetParam().Fitted);
    ASSERT_EQ(fitted.Pixels.size(), static_cast<std::size_t>(fitted.Size.Width) * fitted.Size.Height);
    // Scaled by the decoder first, then smoothly: a little different from
    // the whole picture scaled smoothly, far less than colours in the
    // wrong order (about 20) would be.
    EXPECT_LT(MeanDifference(fitted, ScalePicture(whole, fitted.Size)), 8.0);
}

INSTANTIATE_TEST_SUITE_P(AdvertPreviews, StoredPreview,
                         ::testing::Values(TStoredCase{0, {277, 555}, {100, 202}},
                                           TStoredCase{1, {704, 409}, {189, 109}},
                                           TStoredCase{2, {704, 549}, {189, 147}},
                                           TStoredCase{3, {380, 416}, {184, 202}},
                                           TStoredCase{4, {480, 552}, {175, 202}},
                                           TStoredCase{5, {521, 457}, {189, 165}}),
                         [](const auto& info) { return "item" + std::to_string(info.param.Item); });

TPicture PictureOf(TPictureSize size, std::vector<std::uint32_t> pixels)
{
    return {size, std::move(pixels)};
}

TEST(ScalePicture, EachPixelIsTheMeanOfTheAreaItCovers)
{
    // 4 x 2 into 2 x 1: each target pixel averages a 2 x 2 block.
    const TPicture source = PictureOf({4, 2}, {0xFF000000, 0xFF040404, 0xFFFF0000, 0xFFFF0000,  //
                                               0xFF080808, 0xFF0C0C0C, 0xFF0000FF, 0xFF0000FF});
    const TPicture scaled = ScalePicture(source, {2, 1});
    ASSERT_EQ(scaled.Size, (TPictureSize{2, 1}));
    EXPECT_EQ(scaled.Pixels, (std::vector<std::uint32_t>{0xFF060606, 0xFF800080}));

    // 3 x 1 into 2 x 1: the middle pixel is shared half and half.
    const TPicture thirds = ScalePicture(PictureOf({3, 1}, {0xFF000000, 0xFF646464, 0xFFC8C8C8}), {2, 1});
    EXPECT_EQ(thirds.Pixels, (std::vector<std::uint32_t>{0xFF212121, 0xFFA7A7A7}));
}

TEST(ScalePicture, KeepsAOneColourPictureOneColourWhenEnlargedAndGivesNothingForAnEmptySize)
{
    const TPicture grey = PictureOf({190, 200}, std::vector<std::uint32_t>(190 * 200, 0xFF123456));
    const TPicture larger = ScalePicture(grey, {191, 202});
    ASSERT_EQ(larger.Size, (TPictureSize{191, 202}));
    for (const std::uint32_t pixel : larger.Pixels)
        ASSERT_EQ(pixel, 0xFF123456u);

    const TPicture none = ScalePicture(grey, {0, 202});
    EXPECT_EQ(none.Size, TPictureSize{});
    EXPECT_TRUE(none.Pixels.empty());
}

// A JPEG whose frame header claims a larger size than it holds.
TBytes WithClaimedSize(TBytes jpeg, int width, int height)
{
    for (std::size_t at = 0; at + 8 < jpeg.size(); ++at) {
        if (jpeg[at] == 0xFF && jpeg[at + 1] == 0xC0) {  // baseline frame header
            jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[at + 6] = static_cast<std::uint8_t>(height);
            jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[at + 8] = static_cast<std::uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TBytes FirstBytes(TBytes bytes, std::size_t count)
{
    bytes.resize(count);
    return bytes;
}

TBytes Text(const std::string& text)
{
    return TBytes(text.begin(), text.end());
}

struct TBadCase {
    const char* Name;
    TBytes Bytes;
    std::string Reason;
};

void PrintTo(const TBadCase& bad, std::ostream* out)
{
    *out << bad.Name;
}

class BadPicture : public ::testing::TestWithParam<TBadCase> {};

TEST_P(BadPicture, RaisesAnErrorWithTheDecodersReason)
{
    for (const bool fitted : {false, true}) {
        SCOPED_TRACE(fitted ? "fitted" : "whole");
        try {
            if (fitted)
                FittedPicture(GetParam().Bytes, {189, 202});
            else
                DecodeJpeg(GetParam().Bytes);
            FAIL() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), GetParam().Reason);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, BadPicture,
    ::testing::Values(TBadCase{"Empty", {}, "Invalid JPEG picture: Empty input file"},
                      TBadCase{"NotAJpeg", Text("<html>"), "Invalid JPEG picture: Not a JPEG file: starts with 0x3c 0x68"},
                      TBadCase{"HeaderCutShort", FirstBytes(RedBlueJpeg(16, 16), 40),
                               "Invalid JPEG picture: JPEG datastream contains no image"},
                      TBadCase{"ClaimsTooManyPixels", WithClaimedSize(RedBlueJpeg(16, 16), 65000, 65000),
                               "JPEG picture too large: 65000 x 65000 pixels"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorvex
