#include "engine/PatternScan.h"
#include "tests/fixtures/ScopedPump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quorvex {
namespace {

const std::vector<std::uint8_t> kPattern = {'u', 0, 'r', 0, 'l', 0, 's', 0};
const std::vector<std::uint8_t> kBlank(8, 0);

std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    std::ranges::generate(bytes, [&] { return static_cast<std::uint8_t>(random() % 251); });  // never 0xFB..0xFF
    return bytes;
}

// The plain sliding comparison, as the reference.
std::optional<std::size_t> Reference(std::span<const std::uint8_t> bytes, std::span<const std::uint8_t> pattern)
{
    for (std::size_t p = 0; p + pattern.size() <= bytes.size(); ++p) {
        if (std::equal(pattern.begin(), pattern.end(), bytes.begin() + static_cast<std::ptrdiff_t>(p)))
            return p;
    }
    return std::nullopt;
}

struct TScanCase {
    const char* name;
    std::size_t size;
    std::vector<std::size_t> offsets;  // where the pattern is placed
};

void PrintTo(const TScanCase& c, std::ostream* out)
{
    *out << c.name;
}

class PatternScan : public ::testing::TestWithParam<TScanCase> {};

TEST_P(PatternScan, ReplacesOccurrencesLowestFirstExactlyAsTheSlidingComparison)
{
    const TScanCase& c = GetParam();
    std::vector<std::uint8_t> bytes = RandomBytes(c.size, 7);
    for (std::size_t offset : c.offsets)
        std::ranges::copy(kPattern, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    std::vector<std::size_t> expected = c.offsets;
    std::ranges::sort(expected);

    TMemoryStream image;
    image.Assign(bytes);
    for (std::size_t offset : expected) {
        SCOPED_TRACE(offset);
        ASSERT_EQ(FindFirst(image, kPattern), Reference(image.Bytes(), kPattern));
        ASSERT_TRUE(ReplaceFirst(image, kPattern, kBlank));
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), kPattern.size(), 0);
        EXPECT_TRUE(std::ranges::equal(image.Bytes(), bytes));  // only this occurrence changed
        EXPECT_EQ(image.Position(), offset + kPattern.size());
    }
    EXPECT_FALSE(ReplaceFirst(image, kPattern, kBlank));
    EXPECT_EQ(image.Size(), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, PatternScan,
    ::testing::Values(TScanCase{"AtTheStart", 64, {0}}, TScanCase{"EndingAtTheLastByte", 64, {56}},
                      TScanCase{"ExactlyThePatternsLength", 8, {0}}, TScanCase{"AtAnOddOffset", 100, {33}},
                      TScanCase{"AcrossTheBlockBorder", kScanBlockSize + 64, {kScanBlockSize - 3}},
                      TScanCase{"JustBeforeAndAfterTheBorder", 2 * kScanBlockSize + 5,
                                {kScanBlockSize - 8, kScanBlockSize, 2 * kScanBlockSize - 3}},
                      TScanCase{"AtTheEndOfALongImage", 3 * kScanBlockSize + 11, {3 * kScanBlockSize + 3}},
                      TScanCase{"Nowhere", 1000, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PatternScanEvents, AnImageShorterThanThePatternIsNotScannedAtAll)
{
    TScopedPump pump;
    TMemoryStream image;
    image.Assign({'u', 0, 'r', 0, 'l', 0, 's'});
    EXPECT_FALSE(ReplaceFirst(image, kPattern, kBlank));
    image.Clear();
    EXPECT_FALSE(ReplaceFirst(image, kPattern, kBlank));
    EXPECT_EQ(pump.Passes, 0);
    EXPECT_EQ(image.Size(), 0u);
}

TEST(PatternScanEvents, TheEventLoopIsServedOncePerBlockSearchedWithoutAMatch)
{
    TScopedPump pump;
    TMemoryStream image;
    image.Assign(RandomBytes(5 * kScanBlockSize + 100, 3));
    EXPECT_FALSE(ReplaceFirst(image, kPattern, kBlank));
    EXPECT_EQ(pump.Passes, 6);

    pump.Passes = 0;
    image.Seek(4 * kScanBlockSize + 1);
    image.Write(kPattern);
    EXPECT_TRUE(ReplaceFirst(image, kPattern, kBlank));
    EXPECT_EQ(pump.Passes, 4);
}

TEST(PatternScanEvents, AnImageEmptiedWhileTheEventLoopRunsEndsTheScan)
{
    TMemoryStream image;
    image.Assign(RandomBytes(3 * kScanBlockSize, 5));
    {
        const TScopedPump pump([&image] { image.Clear(); });
        EXPECT_FALSE(ReplaceFirst(image, kPattern, kBlank));
    }
    EXPECT_EQ(image.Size(), 0u);
}

}  // namespace
}  // namespace quorvex
